// The "ums" container behind the program image: trailer, header, colour tables, block loop.
#pragma once

#include <cstdint>
#include <cstdio>

#include "raster_file.h"

extern char programPath[256];
extern ColourTable globalColourTable;
extern ColourTable localColourTable;
extern int globalColourCount;

// Decodes the container of the file at programPath into the raster file "5.msg" in the current
// directory and returns 0; every failure ends the process.
int extractContainer();
// The same from the program file at programFilePath into the raster file at rasterFilePath
// (the decoder benchmark writes to /dev/null). The raster file is checked through its close.
int extractContainerFrom(const char* programFilePath, const char* rasterFilePath);
void readContainer(std::FILE* programFile, int imageNumber);
int readColourTable(std::FILE* file, int count, ColourTable table);
void handleExtension(std::FILE* file, int label);
