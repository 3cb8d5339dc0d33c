// The program file is the image, the container, and the container's offset in its last 4 bytes.
#include "appender.h"

#include <cstring>
#include <stdexcept>

std::vector<uint8_t> stripContainer(const std::vector<uint8_t>& file) {
    if (file.size() < 4 + 6) return file;
    const uint8_t* tail = file.data() + file.size() - 4;
    uint32_t offset =
        uint32_t(tail[0]) | uint32_t(tail[1]) << 8 | uint32_t(tail[2]) << 16 | uint32_t(tail[3]) << 24;
    if (uint64_t(offset) + 6 > file.size() - 4) return file;
    const uint8_t* header = file.data() + offset;
    bool isContainer = std::memcmp(header, "ums", 3) == 0 &&
                       (std::memcmp(header + 3, "390", 3) == 0 || std::memcmp(header + 3, "622", 3) == 0);
    if (!isContainer) return file;
    return std::vector<uint8_t>(file.begin(), file.begin() + long(offset));
}

std::vector<uint8_t> appendContainer(const std::vector<uint8_t>& programImage,
                                     const std::vector<uint8_t>& container) {
    std::vector<uint8_t> out = stripContainer(programImage);
    if (out.size() > UINT32_MAX) throw std::length_error("program image larger than 4 GiB");
    uint32_t offset = uint32_t(out.size());
    out.insert(out.end(), container.begin(), container.end());
    // Signing pads a file to a multiple of 8 bytes before its certificate table: a file that
    // already is one keeps its trailer right before the table. Bytes after the container's
    // end are never read.
    while ((out.size() + 4) % 8 != 0)
        out.push_back(0);
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(offset >> (8 * i)));
    return out;
}
