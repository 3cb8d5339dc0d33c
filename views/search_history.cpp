// Reader of the search keyword history.
#include "search_history.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fileio.h"
#include "gbktext.h"

std::vector<std::string> parseSearchHistory(const unsigned char* data, size_t size) {
    std::vector<std::string> words;
    size_t at = 0;
    while (size - at >= 4) {
        int32_t length = int32_t(readU32LE(data + at));
        at += 4;
        if (length < 0 || size_t(length) > size - at) break;
        const char* text = reinterpret_cast<const char*>(data + at);
        at += size_t(length);
        // The text ends at a zero byte; a lead byte is only kept with its trail byte.
        size_t available = size_t(length);
        const void* zero = std::memchr(text, '\0', std::min(available, kHistoryWordLimit + 1));
        if (zero) available = size_t(static_cast<const char*>(zero) - text);
        size_t kept = gbkFitLength(text, available, kHistoryWordLimit);
        if (kept > 0) words.emplace_back(text, kept);
    }
    return words;
}

std::vector<std::string> readSearchHistory(const char* path) {
    // The history is read whole; beyond this size the rest is not looked at.
    constexpr int64_t kLargestRead = 16 << 20;
    File file = openFile(path, "rb");
    if (!file) return {};
    int64_t size = fileSize(file.get());
    if (size <= 0) return {};
    std::vector<unsigned char> bytes(size_t(std::min(size, kLargestRead)));
    size_t read = std::fread(bytes.data(), 1, bytes.size(), file.get());
    return parseSearchHistory(bytes.data(), read);
}
