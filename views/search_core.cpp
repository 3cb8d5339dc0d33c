// The portable half of the keyword search.
#include "search_core.h"

#include <cstdio>
#include <cstring>

#include "database.h"
#include "fileio.h"
#include "gbktext.h"
#include "tree_model.h"

namespace {

size_t characterLength(const unsigned char* text, size_t at, size_t length) {
    return isGbkLeadByte(text[at]) && at + 1 < length ? 2 : 1;
}

unsigned char foldByte(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The capitals of code page 936 that the system lowers, as CharLowerA does there: each keeps
// its lead byte and moves its trail byte. Ⅺ and Ⅻ (A2FB, A2FC) stay: their small forms are not
// in GBK, and the system would leave a "?" and a stray lead byte in their place.
struct FoldRange {
    unsigned char lead, first, last;
    int shift;
};
constexpr FoldRange kFoldRanges[] = {
    {0xA2, 0xF1, 0xFA, -0x50}, // Ⅰ..Ⅹ -> ⅰ..ⅹ
    {0xA3, 0xC1, 0xDA, 0x20},  // full-width Ａ..Ｚ -> ａ..ｚ
    {0xA6, 0xA1, 0xB8, 0x20},  // Greek Α..Ω -> α..ω
    {0xA7, 0xA1, 0xC1, 0x30},  // Cyrillic А..Я -> а..я
};

unsigned char foldTrail(unsigned char lead, unsigned char trail) {
    for (const FoldRange& r : kFoldRanges)
        if (lead == r.lead && trail >= r.first && trail <= r.last)
            return static_cast<unsigned char>(trail + r.shift);
    return trail;
}

} // namespace

void foldSearchText(char* text) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    size_t length = std::strlen(text);
    for (size_t at = 0; at < length;) {
        size_t step = characterLength(bytes, at, length);
        if (step == 1)
            bytes[at] = foldByte(bytes[at]);
        else
            bytes[at + 1] = foldTrail(bytes[at], bytes[at + 1]);
        at += step;
    }
}

bool containsWord(const char* text, size_t capacity, const char* foldedWord) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const auto* word = reinterpret_cast<const unsigned char*>(foldedWord);
    const size_t wordLength = std::strlen(foldedWord);
    const void* end = std::memchr(text, '\0', capacity);
    const size_t length = end ? size_t(static_cast<const char*>(end) - text) : capacity;
    if (wordLength == 0 || wordLength > length) return false;
    for (size_t start = 0; start + wordLength <= length; start += characterLength(bytes, start, length)) {
        // Compare character by character, folding the text's single-byte characters.
        size_t i = 0;
        while (i < wordLength) {
            size_t step = characterLength(bytes, start + i, length);
            unsigned char c = step == 1 ? foldByte(bytes[start + i]) : bytes[start + i];
            if (c != word[i] ||
                (step == 2 && (i + 1 >= wordLength || foldTrail(c, bytes[start + i + 1]) != word[i + 1])))
                break;
            i += step;
        }
        if (i == wordLength) return true;
    }
    return false;
}

std::vector<SearchHit> findSearchHits(const char* foldedWord) {
    std::vector<SearchHit> hits;
    const DataStore& d = dataStore;
    const TreeModel& m = treeModel;
    // A listing is shown when it is among its node's listings.
    std::vector<uint8_t> shown(size_t(d.companyLinkCount), 0);
    for (int32_t n = 0; size_t(n) + 1 < m.listings.start.size(); ++n)
        for (const int32_t* l = m.listings.begin(size_t(n)); l != m.listings.end(size_t(n)); ++l)
            shown[size_t(*l)] = 1;
    for (int32_t l = d.companyLinkCount - 1; l >= 0 && hits.size() < size_t(kMaxSearchMatches); --l) {
        if (!shown[size_t(l)]) continue;
        const CompanyRecord& c = d.companies[d.companyLinks[l].company];
        if (containsWord(c.name, sizeof c.name, foldedWord)) hits.push_back({true, l});
    }
    for (int32_t n = d.treeNodeCount - 1; n >= 0 && hits.size() < size_t(kMaxSearchMatches); --n) {
        if (size_t(n) >= m.placed.size() || !m.placed[size_t(n)]) continue;
        const char* name = categoryNameOfNode(n);
        if (containsWord(name, std::strlen(name) + 1, foldedWord)) hits.push_back({false, n});
    }
    return hits;
}

bool appendSearchHistory(const char* path, const char* word) {
    File file = openFile(path, "ab");
    if (!file) return false;
    size_t length = std::strlen(word);
    unsigned char prefix[4];
    writeU32LE(prefix, uint32_t(length));
    bool written =
        std::fwrite(prefix, 1, 4, file.get()) == 4 && std::fwrite(word, 1, length, file.get()) == length;
    return file.close() && written;
}
