// Writing the raster file "5.msg": its headers, and the checked writes of its rows.
#include "raster_file.h"

#include <cerrno>
#include <cstring>

#include "diagnostics.h"
#include "fileio.h"

std::FILE* rasterFile;

void rasterWriteFailed() {
    char message[160];
    std::snprintf(message, sizeof message, "error writing %s: %s", kRasterFileName,
                  std::strerror(errno ? errno : EIO));
    fatalError(message);
}

void writeRasterAt(uint64_t offset, const void* bytes, size_t size) {
    errno = 0;
    if (seekTo(rasterFile, offset) != 0 || std::fwrite(bytes, 1, size, rasterFile) != size)
        rasterWriteFailed();
}

int writeRasterHeader(int width, int height, const ColourEntry* table) {
    uint32_t stride = rowStride(8, width);
    uint32_t imageSize = stride * uint32_t(height);
    unsigned char header[kRasterHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    writeU32LE(header + 2, kRasterHeaderSize + imageSize);
    writeU32LE(header + 10, kRasterHeaderSize);
    writeU32LE(header + 14, 40);
    writeU32LE(header + 18, uint32_t(width));
    writeU32LE(header + 22, uint32_t(height));
    writeU16LE(header + 26, 1);
    writeU16LE(header + 28, 8);
    writeU32LE(header + 34, imageSize);
    writeU32LE(header + 46, 256);
    writeU32LE(header + 50, 256);
    std::memcpy(header + 54, table, 256 * sizeof(ColourEntry));
    writeRasterAt(0, header, sizeof header);
    return 1;
}
