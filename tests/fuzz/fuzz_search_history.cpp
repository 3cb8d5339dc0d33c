// Fuzz target for the search history reader: the input is the history file. Every keyword it
// gives must be non-empty, at most 49 bytes, free of zero bytes, and end on a character
// boundary of the file's record; reading the same bytes from the file gives the same words.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "gbktext.h"
#include "search_history.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words = parseSearchHistory(data, size);
    for (const std::string& word : words) {
        if (word.empty() || word.size() > kHistoryWordLimit) fuzz::fail("a keyword of the wrong length");
        if (std::memchr(word.data(), '\0', word.size())) fuzz::fail("a keyword with a zero byte");
        if (gbkFitLength(word.data(), word.size(), word.size()) != word.size())
            fuzz::fail("a keyword ending in half a character");
    }
    fuzz::InScratchDirectory inScratch;
    fuzz::writeFile("MySchInf.wrk", std::vector<uint8_t>(data, data + size));
    if (readSearchHistory("MySchInf.wrk") != words) fuzz::fail("the file reads differently from its bytes");
    return 0;
}
