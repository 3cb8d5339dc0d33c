// Finding the certificate table through the PE headers: the DOS header's "MZ" and the offset of
// the "PE\0\0" signature at 0x3C, the 20-byte file header (the optional header's size at 16),
// then the optional header, whose magic (0x10B for PE32, 0x20B for PE32+) places the count of
// data directories and the directories themselves, 8 bytes each (offset, size).
#include "program_image.h"

#include <cstring>

#include "fileio.h"

namespace {

constexpr int kSecurityDirectory = 4;

} // namespace

std::optional<CertificateTable> findCertificateTable(const uint8_t* head, size_t available,
                                                     uint64_t fileSize) {
    auto fits = [&](uint64_t at, uint64_t size) { return at <= available && size <= available - at; };
    if (!fits(0, 0x40) || head[0] != 'M' || head[1] != 'Z') return std::nullopt;
    uint64_t pe = readU32LE(head + 0x3C);
    if (!fits(pe, 24) || std::memcmp(head + pe, "PE\0\0", 4) != 0) return std::nullopt;
    uint64_t optional = pe + 24;
    uint16_t optionalSize = readU16LE(head + pe + 20);
    if (!fits(optional, optionalSize) || optionalSize < 2) return std::nullopt;
    uint16_t magic = readU16LE(head + optional);
    uint64_t countAt, directories;
    if (magic == 0x10B) {
        countAt = 92, directories = 96;
    } else if (magic == 0x20B) {
        countAt = 108, directories = 112;
    } else {
        return std::nullopt;
    }
    uint64_t entry = directories + 8 * kSecurityDirectory;
    if (entry + 8 > optionalSize || readU32LE(head + optional + countAt) <= kSecurityDirectory)
        return std::nullopt;
    uint64_t offset = readU32LE(head + optional + entry), size = readU32LE(head + optional + entry + 4);
    if (offset == 0 || size == 0 || offset > fileSize || size > fileSize - offset) return std::nullopt;
    return CertificateTable{offset, size};
}
