// One bounded copy for every fixed-capacity text field.
#include "gbktext.h"

#include <cstring>

size_t gbkFitLength(const char* text, size_t length, size_t limit) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t fit = 0;
    while (fit < length) {
        size_t charLength = isGbkLeadByte(bytes[fit]) ? 2 : 1;
        if (fit + charLength > limit || fit + charLength > length) break;
        fit += charLength;
    }
    return fit;
}

size_t gbkWholeLength(const char* text, size_t length) {
    // A character starts after any byte that cannot start one (it ends a character, whole or
    // as its second half), so only the run of possible lead bytes at the end decides: an odd
    // run ends in half a character.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t run = 0;
    while (run < length && isGbkLeadByte(bytes[length - 1 - run]))
        ++run;
    return length - run % 2;
}

size_t copyToField(char* field, size_t capacity, const char* text, size_t length) {
    if (capacity == 0) return 0;
    size_t fit = gbkFitLength(text, length, capacity - 1);
    std::memcpy(field, text, fit);
    field[fit] = '\0';
    return fit;
}

size_t fieldTextLength(const char* field, size_t capacity) {
    const void* end = std::memchr(field, '\0', capacity);
    return gbkWholeLength(field, end ? size_t(static_cast<const char*>(end) - field) : capacity);
}
