// The "ums" container behind the program image: trailer, header, colour tables, block loop.
#pragma once

#include <cstdint>
#include <cstdio>

#include "raster_file.h"

// The longest path Windows can name: 32,767 UTF-16 units, at most three bytes each in UTF-8
// (a surrogate pair's four bytes stand for two units), and the terminating zero.
inline constexpr size_t kProgramPathCapacity = 3 * 32767 + 1;
extern char programPath[kProgramPathCapacity];
extern ColourTable globalColourTable;
extern ColourTable localColourTable;
extern int globalColourCount;

// Decodes the container of the file at programPath into the raster in memory (raster_file.h)
// and returns 0; every failure tells the user (the platform seam) and ends the process.
int extractContainer();
// The same from the program file at programFilePath, or from an open one.
int extractContainerFrom(const char* programFilePath);
int extractContainerFrom(std::FILE* programFile);
void readContainer(std::FILE* programFile, int imageNumber);
int readColourTable(std::FILE* file, int count, ColourTable table);
void handleExtension(std::FILE* file, int label);
