// The raster that the decoder writes and the loader reads, held in memory.
//
// It has the layout of a Windows bitmap file: the 14-byte file header ("BM", file size, the
// pixel offset 1078), the 40-byte info header (width, positive height, 1 plane, 8 bits per
// pixel, no compression, image size, 256 colours), 256 colour entries of 4 bytes (blue, green,
// red, 0), then the pixel rows, bottom image row first, each padded to a multiple of 4 bytes. A
// pixel's byte is the red component of its colour table entry; read from offset 1078 in order,
// the pixel area is the database stream.
//
// Nothing of it goes to disk: each start-up has its own, so a user's files in the current
// folder are never touched and two copies started at once never see each other's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// A colour table entry as the raster stores it: blue, green, red, 0.
struct ColourEntry {
    uint8_t blue, green, red, zero;
};
using ColourTable = ColourEntry[256];

inline constexpr int kRasterHeaderSize = 1078; // 14 + 40 + 4 * 256

// Fuzz builds make every buffer of the data path small, so that short inputs cross each of
// their boundaries (and each input runs fast); the logic is the same.
#ifdef KOVANTA_SMALL_BUFFERS
inline constexpr bool kSmallBuffers = true;
#else
inline constexpr bool kSmallBuffers = false;
#endif

// The raster's bytes in pieces. A piece is allocated when it is first written and reads as
// zeros until then, so rows the data never reaches cost nothing; the loader lets each piece go
// once it has read past it, so the raster and the database made from it are never both whole
// in memory. A piece is large enough that the heaps give it memory of its own (Windows above
// 1,020 KiB, glibc above 128 KiB), which goes back to the system when it is let go.
class Raster {
  public:
    static constexpr size_t kPieceSize = kSmallBuffers ? 4096 : size_t(1) << 20;

    // Drops every piece and gives the raster size bytes, all zero.
    void reset(uint64_t size);
    void clear() { reset(0); }
    uint64_t size() const { return size_; }
    // False when a piece cannot be allocated or the bytes lie beyond the size.
    bool write(uint64_t offset, const void* bytes, size_t count);

    size_t pieceCount() const { return pieces_.size(); }
    // Piece k's bytes, or null while it is all zeros; its length.
    const uint8_t* piece(size_t k) const { return pieces_[k].get(); }
    size_t pieceLength(size_t k) const;
    void releasePiece(size_t k) { pieces_[k].reset(); }

    // Every byte, for tests and fuzz targets.
    std::vector<uint8_t> bytes() const;
    // Replaces the raster by these bytes; false when memory runs out.
    bool assign(const uint8_t* bytes, size_t count);

  private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::vector<std::unique_ptr<uint8_t, Free>> pieces_;
    uint64_t size_ = 0;
};

// The one raster of the start-up: written by the container reader, emptied by the loader.
extern Raster raster;

// Bytes per stored row.
inline uint32_t rowStride(int bitsPerPixel, int width) {
    return ((uint32_t(width) * uint32_t(bitsPerPixel) / 8) + 3) & ~uint32_t(3);
}

// Gives the raster its size and writes both headers and all 256 entries of table at its
// start; returns 1.
int writeRasterHeader(int width, int height, const ColourEntry* table);

// Writes bytes at offset of the raster. When memory runs out the process ends with the fatal
// diagnostic "couldn't alloc space for data", so that no partial raster is ever loaded.
void writeRasterAt(uint64_t offset, const void* bytes, size_t size);
