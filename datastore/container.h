// The "ums" container behind the program image: trailer, header, colour tables, block loop.
#pragma once

#include <cstdint>
#include <cstdio>

// A colour table entry as the raster file stores it: blue, green, red, 0.
struct ColourEntry {
    uint8_t blue, green, red, zero;
};
using ColourTable = ColourEntry[256];

extern char programPath[256];
extern ColourTable globalColourTable;
extern ColourTable localColourTable;
extern int globalColourCount;
// Whether the count byte that readDataBlock read last was 0.
extern bool zeroLengthSeen;
// The raster file that extractContainer opens for the decoder to write.
extern std::FILE* rasterFile;

inline constexpr const char* kRasterFileName = "5.msg";

// Writes message and a newline to standard error and ends the process with status 5.
[[noreturn]] void fatalError(const char* message);

int extractContainer();
void readContainer(std::FILE* programFile, int imageNumber);
int readColourTable(std::FILE* file, int count, ColourTable table);
void handleExtension(std::FILE* file, int label);
// Reads one sub-block into buffer (256 bytes at least): the count, 0 at the zero-length
// sub-block, -1 on a read failure.
int readDataBlock(std::FILE* file, unsigned char* buffer);
