// The temporary raster file "5.msg" that the decoder writes and the loader reads.
//
// It is a Windows bitmap file: the 14-byte file header ("BM", file size, the pixel offset
// 1078), the 40-byte info header (width, positive height, 1 plane, 8 bits per pixel, no
// compression, image size, 256 colours), 256 colour entries of 4 bytes (blue, green, red, 0),
// then the pixel rows, bottom image row first, each padded to a multiple of 4 bytes. A pixel's
// byte is the red component of its colour table entry; read from offset 1078 in file order, the
// pixel area is the database stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A colour table entry as the raster file stores it: blue, green, red, 0.
struct ColourEntry {
    uint8_t blue, green, red, zero;
};
using ColourTable = ColourEntry[256];

inline constexpr int kRasterHeaderSize = 1078; // 14 + 40 + 4 * 256
inline constexpr const char* kRasterFileName = "5.msg";

// The raster file being written; set by the container reader for the time of one extraction.
extern std::FILE* rasterFile;

// Bytes per stored row.
inline uint32_t rowStride(int bitsPerPixel, int width) {
    return ((uint32_t(width) * uint32_t(bitsPerPixel) / 8) + 3) & ~uint32_t(3);
}

// Writes both headers and all 256 entries of table at the raster file's start; returns 1.
int writeRasterHeader(int width, int height, const ColourEntry* table);

// Writes bytes at offset of the raster file. A seek or write that fails (a full disk) ends the
// process with the fatal diagnostic "error writing 5.msg: " and the system's text, so that no
// partial raster file is ever loaded.
void writeRasterAt(uint64_t offset, const void* bytes, size_t size);

// The same diagnostic and exit for a failure found when the raster file is flushed or closed.
[[noreturn]] void rasterWriteFailed();
