// The search keyword history file: a sequence of records, each a 32-bit little-endian byte
// length followed by that many bytes of keyword text, without terminator; the search appends
// one record per new keyword.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr size_t kHistoryWordLimit = 49;

// The keywords in file order. A record longer than the limit gives its first 49 bytes (cut on
// a character boundary); empty records are passed over; a negative length or a record cut short
// by the end of the data ends the history.
std::vector<std::string> parseSearchHistory(const unsigned char* data, size_t size);
// The same for the file; empty when it cannot be read.
std::vector<std::string> readSearchHistory(const char* path);
