// The raster in memory: its pieces, its headers, and the checked writes of its rows.
#include "raster_file.h"

#include <cstring>

#include "diagnostics.h"
#include "fileio.h"

Raster raster;

void Raster::reset(uint64_t size) {
    pieces_.clear();
    size_ = size;
    pieces_.resize(size_t((size + kPieceSize - 1) / kPieceSize));
}

size_t Raster::pieceLength(size_t k) const {
    uint64_t start = uint64_t(k) * kPieceSize;
    return size_t(size_ - start < kPieceSize ? size_ - start : kPieceSize);
}

bool Raster::write(uint64_t offset, const void* bytes, size_t count) {
    if (offset > size_ || count > size_ - offset) return false;
    const auto* from = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        size_t k = size_t(offset / kPieceSize), at = size_t(offset % kPieceSize);
        if (!pieces_[k]) {
            pieces_[k].reset(static_cast<uint8_t*>(std::calloc(pieceLength(k), 1)));
            if (!pieces_[k]) return false;
        }
        size_t n = pieceLength(k) - at < count ? pieceLength(k) - at : count;
        std::memcpy(pieces_[k].get() + at, from, n);
        from += n;
        offset += n;
        count -= n;
    }
    return true;
}

std::vector<uint8_t> Raster::bytes() const {
    std::vector<uint8_t> all(size_t(size_), 0);
    for (size_t k = 0; k < pieces_.size(); ++k)
        if (pieces_[k]) std::memcpy(all.data() + k * kPieceSize, pieces_[k].get(), pieceLength(k));
    return all;
}

bool Raster::assign(const uint8_t* bytes, size_t count) {
    reset(count);
    return write(0, bytes, count);
}

void writeRasterAt(uint64_t offset, const void* bytes, size_t size) {
    if (!raster.write(offset, bytes, size)) fatalOutOfMemory("couldn't alloc space for data");
}

int writeRasterHeader(int width, int height, const ColourEntry* table) {
    uint32_t stride = rowStride(8, width);
    uint64_t imageSize = uint64_t(stride) * uint64_t(height > 0 ? height : 0);
    raster.reset(kRasterHeaderSize + imageSize);
    unsigned char header[kRasterHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    writeU32LE(header + 2, uint32_t(kRasterHeaderSize + imageSize));
    writeU32LE(header + 10, kRasterHeaderSize);
    writeU32LE(header + 14, 40);
    writeU32LE(header + 18, uint32_t(width));
    writeU32LE(header + 22, uint32_t(height));
    writeU16LE(header + 26, 1);
    writeU16LE(header + 28, 8);
    writeU32LE(header + 34, uint32_t(imageSize));
    writeU32LE(header + 46, 256);
    writeU32LE(header + 50, 256);
    std::memcpy(header + 54, table, 256 * sizeof(ColourEntry));
    writeRasterAt(0, header, sizeof header);
    return 1;
}
