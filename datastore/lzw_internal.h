// Pieces shared by the two image decoders in lzw.cpp and lzw_fast.cpp.
#pragma once

#include <cstdint>
#include <cstdio>

namespace lzw_detail {

// Image row of the k-th row in data order (the four GIF interlace passes when interlaced).
int imageRowOf(int k, int height, bool interlaced);

void reportTooMuchData();

// Decodes the image whose minimum code size byte has just been read, writes its rows and
// reports what the value decoder would report, leaving the file where it would leave it.
void decodeImageFast(std::FILE* file, int minimumCodeSize, int width, int height, const unsigned char* red,
                     bool interlaced);

} // namespace lzw_detail
