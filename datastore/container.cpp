// Reads the container that follows the program image and hands its image to the decoder.
//
// The program file ends with a 4-byte little-endian offset of the container; in a signed file
// that trailer lies before the certificate table (program_image.h). The container
// is laid out like a GIF89a file whose 6-byte signature is "ums" and a version ("390" or
// "622"): a 7-byte screen descriptor, an optional global colour table, then blocks opened by
// ';' (end), '!' (extension: label and sub-blocks) or ',' (image: 9-byte descriptor, optional
// local colour table, LZW data in sub-blocks).
#include "container.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "database.h"
#include "diagnostics.h"
#include "fileio.h"
#include "lzw.h"
#include "platform.h"
#include "program_image.h"
#include "subblock.h"

char programPath[kProgramPathCapacity];
ColourTable globalColourTable;
ColourTable localColourTable;
int globalColourCount;

namespace {

unsigned char extensionBuffer[280];

[[noreturn]] void exitOpenFailure(const char* path) {
    std::fprintf(stderr, "%s: %s\n", path, std::strerror(errno));
    failStartup(StartupFailure::ProgramUnreadable, 1);
}

bool readExactly(std::FILE* file, void* buffer, size_t size) {
    return size == 0 || std::fread(buffer, 1, size, file) == size;
}

void skipSubBlocks(std::FILE* file) {
    while (readDataBlock(file, extensionBuffer) > 0) {
    }
}

// Whether the 4 bytes before end name an offset where a container header starts.
bool trailerAt(std::FILE* file, uint64_t end) {
    unsigned char bytes[6];
    if (end < 4 || seekTo(file, end - 4) != 0 || !readExactly(file, bytes, 4)) return false;
    uint64_t offset = readU32LE(bytes);
    return offset + 6 <= end - 4 && seekTo(file, offset) == 0 && readExactly(file, bytes, 6) &&
           std::memcmp(bytes, "ums", 3) == 0;
}

// Where the trailer ends: the end of the file, or in a signed file the certificate table's
// start. Signing tools pad the file to a multiple of 8 bytes before the table, so the trailer
// of a file packed without that alignment lies up to 7 bytes earlier.
int64_t trailerEnd(std::FILE* file) {
    int64_t size = fileSize(file);
    if (size < 0) return -1;
    unsigned char head[kProgramHeadSize];
    size_t available = seekTo(file, 0) == 0 ? std::fread(head, 1, sizeof head, file) : 0;
    std::optional<CertificateTable> table = findCertificateTable(head, available, uint64_t(size));
    if (!table) return size;
    for (uint64_t padding = 0; padding < 8 && padding < table->offset; ++padding)
        if (trailerAt(file, table->offset - padding)) return int64_t(table->offset - padding);
    return int64_t(table->offset);
}

} // namespace

int extractContainer() {
    return extractContainerFrom(programPath);
}

int extractContainerFrom(const char* programFilePath) {
    File programFile = openFile(programFilePath, "rb");
    if (!programFile) exitOpenFailure(programFilePath);
    std::setvbuf(programFile.get(), nullptr, _IOFBF, 1 << 16);
    return extractContainerFrom(programFile.get());
}

int extractContainerFrom(std::FILE* programFile) {
    raster.clear();
    readContainer(programFile, 1);
    return 0;
}

void readContainer(std::FILE* programFile, int imageNumber) {
    unsigned char bytes[9];
    int64_t end = trailerEnd(programFile);
    if (end < 4 || seekTo(programFile, uint64_t(end) - 4) != 0 || !readExactly(programFile, bytes, 4))
        failStartup(StartupFailure::NoData, 0); // the file is closed by its owner, or by the exit
    uint32_t containerOffset = readU32LE(bytes);

    if (seekTo(programFile, containerOffset) != 0 || !readExactly(programFile, bytes, 6))
        fatalNoContainer("error reading magic number");
    if (std::memcmp(bytes, "ums", 3) != 0) fatalNoContainer("不是 ums 格式的数据,无法识别!");
    if (std::memcmp(bytes + 3, "390", 3) != 0 && std::memcmp(bytes + 3, "622", 3) != 0)
        fatalError("版本不是 'Ver39' 或 'Ver40',无法识别!");

    if (!readExactly(programFile, bytes, 7)) fatalError("读取错误!");
    globalColourCount = 2 << (bytes[4] & 7);
    if (bytes[4] & 0x80) readColourTable(programFile, globalColourCount, globalColourTable);

    int imageCount = 0;
    for (;;) {
        int introducer = std::fgetc(programFile);
        if (introducer == EOF) fatalError("EOF / read error on data");
        if (introducer == ';') break;
        if (introducer == '!') {
            int label = std::fgetc(programFile);
            if (label == EOF) fatalError("OF / read error on extention function code");
            handleExtension(programFile, label);
            continue;
        }
        if (introducer == ',') {
            ++imageCount;
            if (!readExactly(programFile, bytes, 9)) fatalError("couldn't read 数据!");
            const ColourEntry* table = globalColourTable;
            if (bytes[8] & 0x80) {
                readColourTable(programFile, 1 << ((bytes[8] & 7) + 1), localColourTable);
                table = localColourTable;
            }
            readImage(programFile, readU16LE(bytes + 4), readU16LE(bytes + 6), table, (bytes[8] & 0x40) != 0,
                      imageCount != imageNumber);
            continue;
        }
        std::fprintf(stderr, "bogus character 0x%02x, ignoring\n", unsigned(introducer));
    }

    if (imageCount < imageNumber) {
        std::fprintf(stderr, "only %d data %s found in file\n", imageCount, imageCount > 1 ? "s" : "");
        failStartup(imageCount == 0 ? StartupFailure::NoData : StartupFailure::DamagedData, 1);
    }
}

int readColourTable(std::FILE* file, int count, ColourTable table) {
    for (int i = 0; i < count; ++i) {
        unsigned char rgb[3];
        if (!readExactly(file, rgb, 3)) fatalError("线表错误!");
        table[i] = {rgb[2], rgb[1], rgb[0], 0};
    }
    return 0;
}

void handleExtension(std::FILE* file, int label) {
    switch (label) {
    case 0xF9: // graphic control: its content has no effect here; an empty first
               // sub-block already ended the extension
        if (readDataBlock(file, extensionBuffer) <= 0) return;
        break;
    case 0xFE: // comment
        break;
    case 0x01: std::fprintf(stderr, "got a '%s' extension\n", "Plain Text Extension"); break;
    case 0xFF:
        std::fprintf(stderr, "got a '%s' extension\n", "Application Extension");
        // An empty identifier block already ended the extension; skipping on would
        // swallow the blocks behind it.
        if (readDataBlock(file, extensionBuffer) <= 0) return;
        break;
    default:
        std::snprintf(reinterpret_cast<char*>(extensionBuffer), sizeof extensionBuffer, "UNKNOWN (0x%02x)",
                      unsigned(label));
        std::fprintf(stderr, "got a '%s' extension\n", reinterpret_cast<char*>(extensionBuffer));
        break;
    }
    skipSubBlocks(file);
}
