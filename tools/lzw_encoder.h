// GIF-style LZW encoding: codes least significant bit first, in data sub-blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LzwEncodeOptions {
    int subBlockSize = 255; // 1..255 data bytes per sub-block
    // When the table is full: send a clear code and start over (true), or go on with the
    // full table and never clear (false; decoders must then hold 4096 entries).
    bool clearWhenFull = true;
};

// The image data after the minimum code size byte: sub-blocks ending with the zero-length one.
std::vector<uint8_t> encodeLzw(const uint8_t* pixels, size_t count, int minimumCodeSize,
                               const LzwEncodeOptions& options = {});
