// Pieces shared by the two image decoders in lzw.cpp and lzw_fast.cpp.
#pragma once

#include <cstdint>
#include <cstdio>

namespace lzw_detail {

// Writes the first completeRows rows of pixels (width bytes each, in data order) where the
// raster file keeps them; rows the data never reached read as zero bytes.
void writeRows(const unsigned char* pixels, int completeRows, int width, int height, bool interlaced);

void reportTooMuchData();

// Decodes the image whose minimum code size byte has just been read, writes its rows and
// reports what the value decoder would report, leaving the file where it would leave it.
void decodeImageFast(std::FILE* file, int minimumCodeSize, int width, int height, const unsigned char* red,
                     bool interlaced);

} // namespace lzw_detail
