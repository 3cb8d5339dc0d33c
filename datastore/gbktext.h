// Bounded copies of GBK text into fixed-capacity fields.
#pragma once

#include <cstddef>

// True for a byte that starts a double-byte GBK character.
inline bool isGbkLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Length of text[0..length) without a lead byte that ends it alone: half a character is no
// character, and joined to another text it would pair with that text's first byte.
size_t gbkWholeLength(const char* text, size_t length);

// Length of the text in a fixed-capacity field: up to its terminator, or the whole field, and
// without a lone lead byte at its end.
size_t fieldTextLength(const char* field, size_t capacity);

// Length of the longest prefix of text[0..length) that fits in limit bytes without
// ending in the first half of a double-byte character.
size_t gbkFitLength(const char* text, size_t length, size_t limit);

// Copies what fits of text[0..length) into a field of the given capacity and terminates it.
// Returns the number of text bytes copied (at most capacity - 1).
size_t copyToField(char* field, size_t capacity, const char* text, size_t length);
