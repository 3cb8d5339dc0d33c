// Data sub-blocks, the framing of the container's extensions and image data: one count byte
// (0..255), then that many data bytes; a run of them ends with the zero-length sub-block.
#pragma once

#include <cstdio>

// Whether the count byte that readDataBlock read last was 0.
extern bool zeroLengthSeen;

// Reads one sub-block into buffer (256 bytes at least): the count, 0 at the zero-length
// sub-block, -1 on a read failure.
int readDataBlock(std::FILE* file, unsigned char* buffer);
