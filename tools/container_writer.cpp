// The container writer: header, global colour table, image blocks and the ';' trailer.
#include "container_writer.h"

#include <algorithm>
#include <cstring>

namespace {

void putU16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void putPalette(std::vector<uint8_t>& out, const Palette& palette) {
    for (const Rgb& c : palette) {
        out.push_back(c.red);
        out.push_back(c.green);
        out.push_back(c.blue);
    }
}

// The rows of an interlaced image in the order of the four passes.
std::vector<uint8_t> rowsInDataOrder(const ContainerImage& image) {
    std::vector<uint8_t> out;
    out.reserve(image.pixels.size());
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int r = start[pass]; r < image.height; r += step[pass]) {
            auto begin = image.pixels.begin() + long(r) * image.width;
            out.insert(out.end(), begin, begin + image.width);
        }
    return out;
}

} // namespace

Palette identityPalette() {
    Palette palette;
    for (int v = 0; v < 256; ++v)
        palette[size_t(v)] = {uint8_t(v), uint8_t(v), uint8_t(v)};
    return palette;
}

std::vector<uint8_t> writeContainer(const std::vector<ContainerImage>& images,
                                    const ContainerOptions& options) {
    std::vector<uint8_t> out = {'u', 'm', 's'};
    for (size_t i = 0; i < 3; ++i)
        out.push_back(i < options.version.size() ? uint8_t(options.version[i]) : '0');
    int screenWidth = 0, screenHeight = 0;
    for (const ContainerImage& image : images) {
        screenWidth = std::max(screenWidth, image.width);
        screenHeight = std::max(screenHeight, image.height);
    }
    putU16(out, screenWidth);
    putU16(out, screenHeight);
    out.push_back(options.globalTable ? 0xF7 : 0x70); // table flag, 8-bit resolution, 256 entries
    out.push_back(0);
    out.push_back(0);
    if (options.globalTable) putPalette(out, identityPalette());

    for (const ContainerImage& image : images) {
        out.push_back(',');
        putU16(out, 0);
        putU16(out, 0);
        putU16(out, image.width);
        putU16(out, image.height);
        uint8_t flags = image.interlaced ? 0x40 : 0;
        if (image.localTable) flags |= 0x87;
        out.push_back(flags);
        if (image.localTable) putPalette(out, *image.localTable);
        out.push_back(uint8_t(image.minimumCodeSize));
        std::vector<uint8_t> interlacedRows;
        if (image.interlaced) interlacedRows = rowsInDataOrder(image);
        const std::vector<uint8_t>& rows = image.interlaced ? interlacedRows : image.pixels;
        std::vector<uint8_t> data = encodeLzw(rows.data(), rows.size(), image.minimumCodeSize, image.lzw);
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(';');
    return out;
}

ContainerImage imageForStream(const std::vector<uint8_t>& stream) {
    ContainerImage image;
    // Rows of 1024 bytes keep the height within 16 bits up to 64 MiB; wider rows beyond.
    size_t width = 1024;
    while ((stream.size() + width - 1) / width > 65535 && width < 65532)
        width += 1024;
    width = std::min<size_t>(width, 65532);
    size_t height = std::max<size_t>(1, (stream.size() + width - 1) / width);
    image.width = int(width);
    image.height = int(height);
    image.pixels.assign(width * height, 0);
    // The raster file keeps the bottom image row first, so stream row i is image row height-1-i.
    for (size_t i = 0; i < height; ++i) {
        size_t begin = i * width;
        if (begin >= stream.size()) break;
        size_t n = std::min(width, stream.size() - begin);
        std::memcpy(image.pixels.data() + (height - 1 - i) * width, stream.data() + begin, n);
    }
    return image;
}
