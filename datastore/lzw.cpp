// LZW decoding of the container's image data into the raster file "5.msg" (raster_file.h).
//
// Codes are packed least significant bit first across data sub-blocks. The code width starts
// at minimum code size + 1 and grows up to 12 bits; the clear code resets the table and the
// end code ends the data.
//
// lzwReadValue decodes one value at a time with prefix and suffix tables and a value stack; it
// reads the images that are skipped, and it is the yardstick for the fast decoder
// (lzw_fast.cpp) that readImage uses for the requested image: tests and the fuzz target check
// that both give the same bytes and diagnostics.
#include "lzw.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "diagnostics.h"
#include "lzw_internal.h"
#include "subblock.h"

bool useValueDecoder = false;

namespace {

constexpr int kTableSize = 4096;
constexpr int kStackSize = 8192;

struct Decoder {
    int setCodeSize, codeSize, clearCode, endCode, maxCode, maxCodeSize;
    int firstCode, oldCode;
    bool fresh;
    int prefix[kTableSize];
    int suffix[kTableSize];
    int stack[kStackSize];
    int stackTop;
};
Decoder lzw;

// The sub-block being read and a 64-bit bit buffer in front of it.
struct CodeReader {
    uint64_t bits;
    int bitCount;
    bool done;
    unsigned char block[256];
    int blockPos, blockLength;

    int available() const { return bitCount + (blockLength - blockPos) * 8; }
    void pullBytes() {
        while (bitCount <= 56 && blockPos < blockLength) {
            bits |= uint64_t(block[blockPos++]) << bitCount;
            bitCount += 8;
        }
    }
};
CodeReader reader;

void resetTables() {
    for (int i = 0; i < lzw.clearCode; ++i) {
        lzw.prefix[i] = 0;
        lzw.suffix[i] = i;
    }
    for (int i = lzw.clearCode; i < kTableSize; ++i)
        lzw.prefix[i] = lzw.suffix[i] = 0;
    lzw.codeSize = lzw.setCodeSize + 1;
    lzw.maxCodeSize = 2 * lzw.clearCode;
    lzw.maxCode = lzw.clearCode + 2;
    lzw.stackTop = 0;
}

int readEndOfData(std::FILE* file);

// The first code after a start or a clear code: further clear codes are passed over, and
// what follows must be a literal, since there is no table entry yet to refer to.
int readFirstCode(std::FILE* file) {
    int code;
    do {
        code = readCode(file, lzw.codeSize, false);
    } while (code == lzw.clearCode);
    if (code < 0) return code;
    if (code == lzw.endCode) return readEndOfData(file); // an image without pixels
    if (code >= lzw.clearCode)
        fatalError("LZW data error: the first code after a clear code is not a literal");
    lzw.firstCode = lzw.oldCode = code;
    return code;
}

int readEndOfData(std::FILE* file) {
    if (zeroLengthSeen) return -2;
    unsigned char drain[256];
    int count;
    while ((count = readDataBlock(file, drain)) > 0) {
    }
    if (count < 0) std::fprintf(stderr, "missing EOD in data stream (common occurence)\n");
    return -2;
}

// Adds oldCode + first value of the current string; widens the code when the table needs it.
void addEntry(int currentFirst) {
    if (lzw.maxCode >= kTableSize) return;
    lzw.prefix[lzw.maxCode] = lzw.oldCode;
    lzw.suffix[lzw.maxCode] = currentFirst;
    ++lzw.maxCode;
    if (lzw.maxCode >= lzw.maxCodeSize && lzw.maxCodeSize < kTableSize) {
        lzw.maxCodeSize *= 2;
        ++lzw.codeSize;
    }
}

[[noreturn]] void codeBeyondTable() {
    fatalError("LZW data error: a code beyond the next free table slot");
}

} // namespace

namespace lzw_detail {

// Image row of the k-th row in data order.
int imageRowOf(int k, int height, bool interlaced) {
    if (!interlaced) return k;
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        int rows = start[pass] < height ? (height - 1 - start[pass]) / step[pass] + 1 : 0;
        if (k < rows) return start[pass] + k * step[pass];
        k -= rows;
    }
    return -1;
}

void reportTooMuchData() {
    std::fprintf(stderr, "too much input data, ignoring extra...\n");
}

} // namespace lzw_detail

namespace {

// The decoder one value at a time: placeholder rows first, then each row where it belongs.
void decodeByValues(std::FILE* file, int width, int height, const unsigned char* red, bool interlaced) {
    uint32_t stride = rowStride(8, width);
    std::unique_ptr<unsigned char[]> row(new unsigned char[stride]());
    uint64_t fileEnd = kRasterHeaderSize + uint64_t(stride) * uint64_t(height);
    if (fileEnd > kRasterHeaderSize) { // zero placeholder rows give the pixel area its size
        const unsigned char zero = 0;
        writeRasterAt(fileEnd - 1, &zero, 1);
    }
    int x = 0, k = 0;
    while (k < height) {
        int v = lzwReadValue(file, false, 0);
        if (v < 0) return; // the data ended early: no value is asked for beyond it
        row[size_t(x)] = red[v];
        if (++x == width) {
            writeRasterAt(fileEnd - uint64_t(lzw_detail::imageRowOf(k, height, interlaced) + 1) * stride,
                          row.get(), stride);
            x = 0;
            ++k;
        }
    }
    if (lzwReadValue(file, false, 0) >= 0) lzw_detail::reportTooMuchData();
}

} // namespace

int readCode(std::FILE* file, int codeSize, bool initialise) {
    if (initialise) {
        reader.bits = 0;
        reader.bitCount = 0;
        reader.done = false;
        reader.blockPos = reader.blockLength = 0;
        return 0;
    }
    // A new sub-block is fetched as soon as the bits left are no more than one code.
    if (reader.available() <= codeSize) {
        if (reader.done) {
            if (reader.available() <= 0) fatalError("ran off the end of my bits");
            return -1;
        }
        // Sub-blocks may be as short as one byte, so a code can span several of them.
        do {
            reader.pullBytes();
            int count = readDataBlock(file, reader.block);
            reader.blockPos = 0;
            reader.blockLength = count > 0 ? count : 0;
            if (count <= 0) reader.done = true; // a failed read ends the data as the zero-length one does
        } while (!reader.done && reader.available() < codeSize);
        if (reader.available() < codeSize) return -1; // the data ends inside this code
    }
    if (reader.bitCount < codeSize) reader.pullBytes();
    int code = int(reader.bits & ((uint64_t(1) << codeSize) - 1));
    reader.bits >>= codeSize;
    reader.bitCount -= codeSize;
    return code;
}

int lzwReadValue(std::FILE* file, bool initialise, int minimumCodeSize) {
    if (initialise) {
        lzw.setCodeSize = minimumCodeSize;
        lzw.clearCode = 1 << minimumCodeSize;
        lzw.endCode = lzw.clearCode + 1;
        readCode(file, 0, true);
        lzw.fresh = true;
        resetTables();
        return 0;
    }
    if (lzw.fresh) {
        lzw.fresh = false;
        return readFirstCode(file);
    }
    if (lzw.stackTop > 0) return lzw.stack[--lzw.stackTop];

    for (;;) {
        int code = readCode(file, lzw.codeSize, false);
        if (code < 0) return code;
        if (code == lzw.clearCode) {
            resetTables();
            return readFirstCode(file);
        }
        if (code == lzw.endCode) return readEndOfData(file);
        if (code > lzw.maxCode) codeBeyondTable();

        int inCode = code;
        if (code == lzw.maxCode) {
            lzw.stack[lzw.stackTop++] = lzw.firstCode;
            code = lzw.oldCode;
        }
        while (code >= lzw.clearCode) {
            if (lzw.stackTop >= kStackSize - 1) fatalError("LZW data error: a string longer than the stack");
            lzw.stack[lzw.stackTop++] = lzw.suffix[code];
            if (code == lzw.prefix[code]) fatalError("circular table entry BIG ERROR");
            code = lzw.prefix[code];
        }
        lzw.firstCode = lzw.suffix[code];
        lzw.stack[lzw.stackTop++] = lzw.firstCode;
        addEntry(lzw.firstCode);
        lzw.oldCode = inCode;
        if (lzw.stackTop > 0) return lzw.stack[--lzw.stackTop];
    }
}

void readImage(std::FILE* file, int width, int height, const ColourEntry* table, bool interlaced, bool skip) {
    int minimumCodeSize = std::fgetc(file);
    if (minimumCodeSize == EOF) fatalError("EOF / read error on data");
    // Pixel values index a 256-entry colour table.
    if (minimumCodeSize > 8) fatalError("LZW data error: minimum code size above 8");
    lzwReadValue(file, true, minimumCodeSize);

    if (skip) {
        while (lzwReadValue(file, false, 0) >= 0) {
        }
        return;
    }

    unsigned char red[256];
    for (int v = 0; v < 256; ++v)
        red[v] = table[v].red;
    writeRasterHeader(width, height, table);
    if (width <= 0) height = 0; // an image without columns has no rows to fill

    if (useValueDecoder) {
        decodeByValues(file, width, height, red, interlaced);
        return;
    }

    lzw_detail::decodeImageFast(file, minimumCodeSize, width, height, red, interlaced);
}
