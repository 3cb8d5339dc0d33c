// The GIF-style LZW decoder that writes the container's image into the raster file.
#pragma once

#include <cstdint>
#include <cstdio>

#include "raster_file.h"

// Decodes one image from file (positioned at the minimum code size byte). Unless skip is
// set, the image is written to rasterFile; otherwise its data is consumed and discarded.
void readImage(std::FILE* file, int width, int height, const ColourEntry* table, bool interlaced, bool skip);

// With initialise set, resets the decoder for minimumCodeSize and returns 0. Otherwise
// returns the next pixel value, -2 at the end code, -1 when the data has run dry.
int lzwReadValue(std::FILE* file, bool initialise, int minimumCodeSize);

// With initialise set, resets the code reader and returns 0. Otherwise returns the next
// code of codeSize bits, or -1 at the end of the data.
int readCode(std::FILE* file, int codeSize, bool initialise);

// Decodes through lzwReadValue one value at a time, as a yardstick for the string-copying
// decoder that readImage normally uses. Tests and the fuzz targets compare the two.
extern bool useValueDecoder;
