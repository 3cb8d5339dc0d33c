// File positions beyond 2 GiB: `long` is 32 bits on Windows, so seeks go through these.
#pragma once

#include <cstdint>
#include <cstdio>

// Returns 0 on success, like fseek.
int seekTo(std::FILE* file, uint64_t offset);
int seekFromEnd(std::FILE* file, int64_t offset);
// Size of the open file in bytes, or -1.
int64_t fileSize(std::FILE* file);
int64_t tellAt(std::FILE* file);

// Little-endian integers from a byte buffer.
inline uint16_t readU16LE(const unsigned char* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t readU32LE(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void writeU16LE(unsigned char* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeU32LE(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
