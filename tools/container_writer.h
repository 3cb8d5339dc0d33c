// Builds "ums" containers: a GIF89a block structure behind the signature "ums" + version.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lzw_encoder.h"

struct Rgb {
    uint8_t red, green, blue;
};
using Palette = std::array<Rgb, 256>;

// Entry v has red component v, so a pixel's stored byte is its own value.
Palette identityPalette();

struct ContainerImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // rows top to bottom, width bytes each
    bool interlaced = false;     // rows are then sent in the four-pass order
    std::optional<Palette> localTable;
    int minimumCodeSize = 8;
    LzwEncodeOptions lzw;
};

struct ContainerOptions {
    std::string version = "390";
    bool globalTable = true; // the identity palette as global colour table
};

std::vector<uint8_t> writeContainer(const std::vector<ContainerImage>& images,
                                    const ContainerOptions& options = {});

// An image whose raster file pixel area, read from its start, is stream followed by zero
// bytes: the width is a multiple of 4 and rows are laid out bottom row first.
ContainerImage imageForStream(const std::vector<uint8_t>& stream);
