// The fast image decoder. The image's sub-blocks are read in large pieces and their data kept
// as one run of bytes in a window that slides along; codes are taken from it with 32-bit loads.
// A table entry is a string's first 8 bytes (4 in a 32-bit build), its length and where it
// first occurs in the output, so short strings are written straight from the table and longer
// ones copied from output already written. Finished rows go straight to the raster, and at a
// clear code (after which nothing earlier is referred to) the output buffer starts again.
//
// The result must equal the value decoder's in every byte and diagnostic, so the reader keeps a
// model of when the value decoder would fetch each sub-block: the zero-length flag, the
// diagnostics of a failed read, running off the end of the data and the file position at the
// end all follow from it.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "diagnostics.h"
#include "fileio.h"
#include "lzw.h"
#include "lzw_internal.h"
#include "subblock.h"

namespace lzw_detail {
namespace {

constexpr int kTableSize = 4096;
// Output before a clear code is never referred to again, so at a clear code past this many
// bytes the finished rows are written out and the buffer starts again.
constexpr size_t kCompactAt = kSmallBuffers ? 4096 : size_t(1) << 20;
constexpr size_t kSlack = kTableSize + 16; // one more string and the chunked copy's overrun

enum class RunEnd { ZeroLength, CountMissing, DataShort };

// The image's data sub-blocks as one run of bytes, read ahead through a window that slides
// along with the decoder, and the model of the value decoder's fetches.
class BlockRun {
  public:
    static constexpr size_t kWindow = kSmallBuffers ? 1024 : size_t(1) << 16;

    explicit BlockRun(std::FILE* file) : file_(file), window_(kWindow + 256 + 8, 0) {
        startOffset_ = readOffset_ = tellAt(file);
        readAhead();
    }

    const unsigned char* window() const { return window_.data(); }
    uint64_t windowStart() const { return windowStart_; } // run byte at window()[0]
    // The decoder may load 8 bytes at any run byte below this without a refill.
    uint64_t loadLimit() const { return windowEnd_ > windowStart_ + 8 ? windowEnd_ - 8 : windowStart_; }
    // Bits the value decoder holds after its fetches so far.
    uint64_t fetchedEnd() const { return fetchedEnd_; }

    // Keeps the bytes from run byte `from` on and reads on behind them.
    void slideTo(uint64_t from) {
        size_t keep = size_t(windowEnd_ - from);
        std::memmove(window_.data(), window_.data() + (from - windowStart_), keep);
        windowStart_ = from;
        readAhead();
    }

    // The value decoder's fetches for a code of size bits at bit position pos, when no more than
    // size bits are left: false when it then returns -1 for this code.
    bool fetchFor(uint64_t pos, int size) {
        if (done_) {
            if (fetchedEnd_ <= pos) fatalError("ran off the end of my bits");
            return false;
        }
        do {
            fetchOne();
        } while (!done_ && fetchedEnd_ < pos + uint64_t(size));
        return fetchedEnd_ >= pos + uint64_t(size);
    }

    // The end code: unless the zero-length sub-block has been read, the rest is drained.
    void readEnd() {
        if (zeroLengthSeen) return;
        bool failed;
        if (done_) { // the run already ended in a failed read; reading again fails again
            std::fprintf(stderr, "error in getting DataBlock size\n");
            failed = true;
        } else {
            while (!done_)
                fetchOne();
            failed = end_ != RunEnd::ZeroLength;
        }
        drained_ = true;
        if (failed) std::fprintf(stderr, "missing EOD in data stream (common occurence)\n");
    }

    // Leaves the file where the value decoder would have left it: the run is read ahead.
    void restorePosition() {
        if (done_ || drained_) {
            seekTo(file_, uint64_t(afterEnd_));
        } else {
            seekTo(file_, uint64_t(fetched_ > 0 ? blockEndOffset_[fetched_ - 1] : startOffset_));
        }
    }

  private:
    // The file's bytes, read in large pieces; the sub-block framing is taken apart here.
    bool nextRawByte(int& byte) {
        if (rawPos_ == rawLength_ && !refillRaw()) return false;
        byte = raw_[rawPos_++];
        ++readOffset_;
        return true;
    }
    bool refillRaw() {
        rawLength_ = std::fread(raw_.data(), 1, raw_.size(), file_);
        rawPos_ = 0;
        return rawLength_ > 0;
    }

    // Reads sub-blocks until the window holds kWindow bytes or the run has ended.
    void readAhead() {
        while (!finished_ && windowEnd_ - windowStart_ < kWindow) {
            int count = 0;
            if (!nextRawByte(count)) {
                finish(RunEnd::CountMissing);
                break;
            }
            if (count == 0) {
                finish(RunEnd::ZeroLength);
                break;
            }
            unsigned char* at = window_.data() + (windowEnd_ - windowStart_);
            size_t wanted = size_t(count);
            while (wanted > 0) {
                if (rawPos_ == rawLength_ && !refillRaw()) break;
                size_t n = rawLength_ - rawPos_ < wanted ? rawLength_ - rawPos_ : wanted;
                std::memcpy(at, raw_.data() + rawPos_, n);
                at += n;
                rawPos_ += n;
                readOffset_ += int64_t(n);
                wanted -= n;
            }
            if (wanted > 0) {
                finish(RunEnd::DataShort);
                break;
            }
            windowEnd_ += uint64_t(count);
            blockEndBit_.push_back(windowEnd_ * 8);
            blockEndOffset_.push_back(readOffset_);
        }
        std::memset(window_.data() + (windowEnd_ - windowStart_), 0, 8);
    }

    void finish(RunEnd end) {
        finished_ = true;
        end_ = end;
        afterEnd_ = readOffset_;
    }

    void fetchOne() {
        if (fetched_ == blockEndBit_.size() && !finished_)
            slideTo(windowEnd_ < windowStart_ + 8 ? windowStart_ : windowEnd_ - 8);
        if (fetched_ < blockEndBit_.size()) {
            zeroLengthSeen = false;
            fetchedEnd_ = blockEndBit_[fetched_++];
            return;
        }
        done_ = true;
        switch (end_) {
        case RunEnd::ZeroLength: zeroLengthSeen = true; break;
        case RunEnd::CountMissing: std::fprintf(stderr, "error in getting DataBlock size\n"); break;
        case RunEnd::DataShort:
            zeroLengthSeen = false;
            std::fprintf(stderr, "error in reading DataBlock\n");
            break;
        }
    }

    std::FILE* file_;
    std::vector<unsigned char> raw_ = std::vector<unsigned char>(size_t(1) << 16);
    size_t rawPos_ = 0, rawLength_ = 0;
    std::vector<unsigned char> window_;
    uint64_t windowStart_ = 0, windowEnd_ = 0; // run bytes held: [windowStart_, windowEnd_)
    std::vector<uint64_t> blockEndBit_;
    std::vector<int64_t> blockEndOffset_;
    RunEnd end_ = RunEnd::ZeroLength;
    int64_t startOffset_ = 0, readOffset_ = 0, afterEnd_ = 0;
    bool finished_ = false;
    size_t fetched_ = 0;
    uint64_t fetchedEnd_ = 0;
    bool done_ = false, drained_ = false;
};

// A string's first bytes as one machine word: 8 of them, or 4 in a 32-bit build, where a
// 64-bit word would take two registers in the hot loop.
using Head = std::conditional_t<sizeof(void*) == 4, uint32_t, uint64_t>;
constexpr uint32_t kHeadBytes = sizeof(Head);

// The string table, field by field: each code's head and length, which every code reads, lie
// together in a small part that stays in the first-level cache; where a string first occurs in
// the output is read only for strings longer than their head.
struct StringTable {
    Head head[kTableSize];
    uint16_t length[kTableSize]; // at most kTableSize; 0 for the clear and end codes
    uint32_t pos[kTableSize];
};

static_assert(std::endian::native == std::endian::little, "the string heads are little-endian words");

inline void storeHead(unsigned char* to, Head bytes) {
    std::memcpy(to, &bytes, kHeadBytes);
}

// The head of a string extended by one byte.
inline Head extendHead(Head head, uint32_t length, Head next) {
    return length < kHeadBytes ? head | Head(next << (8 * length)) : head;
}

class Output {
  public:
    explicit Output(uint64_t expected) {
        uint64_t initial = expected < 2 * kCompactAt ? expected : 2 * kCompactAt;
        capacity_ = size_t(initial) + kSlack;
        data_ = static_cast<unsigned char*>(std::malloc(capacity_));
        if (!data_) fatalOutOfMemory("couldn't alloc space for data");
    }
    ~Output() { std::free(data_); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    unsigned char* data() const { return data_; }
    // Makes room for one more string after pos.
    void reserveAfter(size_t pos) {
        if (pos + kSlack <= capacity_) return;
        size_t grown = capacity_ * 2;
        auto* moved = static_cast<unsigned char*>(std::realloc(data_, grown));
        if (!moved) fatalOutOfMemory("couldn't alloc space for data");
        data_ = moved;
        capacity_ = grown;
    }
    size_t capacity() const { return capacity_; }

  private:
    unsigned char* data_;
    size_t capacity_;
};

inline void copyString(unsigned char* to, const unsigned char* from, uint32_t length) {
    // The source lies wholly before `to`; bytes past length land in the slack.
    for (uint32_t i = 0; i < length; i += 8)
        std::memcpy(to + i, from + i, 8);
}

// The common case in a loop of its own, so that its few values stay in registers (a 32-bit
// build has seven): codes that name a string already in the table, while the window holds the
// code, the output has room and the code size stays. Anything else goes back to the caller.
struct HitRun {
    const unsigned char* window;
    unsigned char* base;
    StringTable* table;
    uint32_t bitOff, slowOff;          // the run stops at slowOff
    size_t pos, posLimit;              // and at posLimit
    int codeSize, maxCode, maxCodeEnd; // and before the entry that reaches maxCodeEnd
    uint32_t oldLength;
    Head oldHead;
};

void decodeTableHits(HitRun& r) {
    const unsigned char* const window = r.window;
    unsigned char* const base = r.base;
    StringTable& table = *r.table;
    const uint32_t mask = (uint32_t(1) << r.codeSize) - 1;
    uint32_t bitOff = r.bitOff, oldLength = r.oldLength;
    size_t pos = r.pos;
    int maxCode = r.maxCode;
    Head oldHead = r.oldHead;
    while (bitOff < r.slowOff && pos < r.posLimit && maxCode + 1 < r.maxCodeEnd) {
        uint32_t word;
        std::memcpy(&word, window + (bitOff >> 3), 4);
        int code = int((word >> (bitOff & 7)) & mask);
        if (code >= maxCode) break;
        uint32_t length = table.length[code];
        if (length == 0) break;
        bitOff += uint32_t(r.codeSize);
        Head head = table.head[code];
        storeHead(base + pos, head);
        if (length > kHeadBytes)
            copyString(base + pos + kHeadBytes, base + table.pos[code] + kHeadBytes, length - kHeadBytes);
        table.head[maxCode] = extendHead(oldHead, oldLength, head & 0xFF);
        table.length[maxCode] = uint16_t(oldLength + 1);
        table.pos[maxCode] = uint32_t(pos - oldLength);
        ++maxCode;
        oldLength = length;
        oldHead = head;
        pos += length;
    }
    r.bitOff = bitOff;
    r.pos = pos;
    r.maxCode = maxCode;
    r.oldLength = oldLength;
    r.oldHead = oldHead;
}

// Puts rows, in the order the data gives them, where the raster keeps them (bottom row first).
// The raster starts zeroed: the padding of each row and the rows the data never reaches stay
// zero bytes.
class RowWriter {
  public:
    RowWriter(int width, int height, bool interlaced)
        : width_(uint32_t(width)), height_(height), stride_(rowStride(8, width)), interlaced_(interlaced),
          rasterEnd_(kRasterHeaderSize + uint64_t(stride_) * uint64_t(height)) {}

    void put(const unsigned char* pixels) {
        int r = imageRowOf(rowsPut_++, height_, interlaced_);
        writeRasterAt(rasterEnd_ - uint64_t(r + 1) * stride_, pixels, width_);
    }

  private:
    const uint32_t width_;
    const int height_;
    const uint32_t stride_;
    const bool interlaced_;
    const uint64_t rasterEnd_;
    int rowsPut_ = 0;
};

class FastDecoder {
  public:
    FastDecoder(std::FILE* file, int minimumCodeSize, const unsigned char* red, int width, int height,
                bool interlaced)
        : run_(file), target_(width > 0 && height > 0 ? uint64_t(width) * uint64_t(height) : 0),
          out_(target_), writer_(width, height, interlaced), width_(uint32_t(width)),
          minimumCodeSize_(minimumCodeSize), clearCode_(1 << minimumCodeSize), endCode_(clearCode_ + 1),
          targetEnd_(target_) {
        for (int c = 0; c < clearCode_; ++c) {
            table_.head[c] = red[c];
            table_.length[c] = 1;
            table_.pos[c] = uint32_t(c);
        }
        table_.length[clearCode_] = table_.length[endCode_] = 0;
        resetTable();
    }

    // Decodes until the image is full or the data ends, writes the rows and reports as the value
    // decoder does.
    void run() {
        if (target_ > 0) decodeStrings();
        uint64_t decoded = bufferStart_ + pos_;
        emitRows(decoded < target_ ? decoded : target_);
        if (decoded > target_) {
            reportTooMuchData();
        } else if (decoded == target_ && !ended_ && oneMoreValue() >= 0) {
            reportTooMuchData();
        }
        run_.restorePosition();
    }

  private:
    // Hands the complete rows up to pixel `upTo` (counted from the image's start) to the writer.
    void emitRows(uint64_t upTo) {
        if (width_ == 0) return;
        while (emitted_ + width_ <= upTo) {
            writer_.put(out_.data() + (emitted_ - bufferStart_));
            emitted_ += width_;
        }
    }

    // At a clear code: once the buffer is large, its finished rows go out and the unfinished
    // row moves to the front.
    void compact() {
        if (pos_ < kCompactAt) return;
        emitRows(bufferStart_ + pos_);
        size_t keepFrom = size_t(emitted_ - bufferStart_);
        std::memmove(out_.data(), out_.data() + keepFrom, pos_ - keepFrom);
        pos_ -= keepFrom;
        bufferStart_ = emitted_;
        targetEnd_ = target_ - bufferStart_;
    }

    void resetTable() {
        codeSize_ = minimumCodeSize_ + 1;
        maxCodeSize_ = 2 * clearCode_;
        maxCode_ = clearCode_ + 2;
    }

    int readCode() {
        if ((bitPos_ >> 3) >= run_.loadLimit()) run_.slideTo(bitPos_ >> 3);
        if (bitPos_ + uint64_t(codeSize_) >= run_.fetchedEnd() && !run_.fetchFor(bitPos_, codeSize_))
            return -1;
        uint64_t word;
        std::memcpy(&word, run_.window() + ((bitPos_ >> 3) - run_.windowStart()), 8);
        int code = int((word >> (bitPos_ & 7)) & ((uint64_t(1) << codeSize_) - 1));
        bitPos_ += uint64_t(codeSize_);
        return code;
    }

    // The first code after a start or a clear code, as the value decoder reads it: clear codes
    // are passed over; the end code ends the data; anything else must be a literal.
    int readFirstCode() {
        int code;
        do {
            code = readCode();
        } while (code == clearCode_);
        if (code < 0) return code;
        if (code == endCode_) {
            run_.readEnd();
            return -2;
        }
        if (code >= clearCode_)
            fatalError("LZW data error: the first code after a clear code is not a literal");
        return code;
    }

    void startString(int literal) {
        storeHead(out_.data() + pos_, table_.head[literal]);
        oldHead_ = table_.head[literal];
        oldPos_ = uint32_t(pos_);
        oldLength_ = 1;
        ++pos_;
    }

    void decodeStrings() {
        int first = readFirstCode();
        if (first < 0) {
            ended_ = true;
            return;
        }
        startString(first);
        while (!ended_ && pos_ < targetEnd_)
            decodeRun();
    }

    // The hot loop, on locals that no store through the output can alias; it returns to
    // decodeStrings with the state saved at every clear code, end, or end of the image. Bit
    // positions in the loop count from the window's start and codes come from 32-bit loads (a
    // code and its bit offset take at most 19 bits), so a 32-bit build keeps them in single
    // registers.
    void decodeRun() {
        const unsigned char* window = run_.window();
        uint64_t loadLimit = run_.loadLimit();
        uint64_t windowBit = run_.windowStart() * 8, fetchedEnd = run_.fetchedEnd();
        uint32_t bitOff = uint32_t(bitPos_ - windowBit); // the window holds under 2^20 bits
        int codeSize = codeSize_, maxCode = maxCode_, maxCodeSize = maxCodeSize_;
        uint32_t mask = (uint32_t(1) << codeSize) - 1;
        const int clearCode = clearCode_;
        const size_t targetEnd = targetEnd_ < SIZE_MAX ? size_t(targetEnd_) : SIZE_MAX;
        size_t pos = pos_;
        uint32_t oldPos = oldPos_, oldLength = oldLength_;
        Head oldHead = oldHead_;
        unsigned char* base = out_.data();
        size_t roomEnd = out_.capacity() - kSlack;
        StringTable& table = table_;
        int code = 0;

        // One comparison per code stands for the window's end and the value decoder's next fetch:
        // the first bit, counted from the window's start, at which either needs attention.
        auto slowPoint = [&](int size) {
            uint64_t fetchAt = fetchedEnd > uint64_t(size) ? fetchedEnd - uint64_t(size) : 0;
            uint64_t at = loadLimit * 8 < fetchAt ? loadLimit * 8 : fetchAt;
            return at > windowBit ? uint32_t(at - windowBit) : 0u;
        };
        uint32_t slowOff = slowPoint(codeSize);
        while (pos < targetEnd) {
            if (pos > roomEnd) {
                out_.reserveAfter(pos);
                base = out_.data();
                roomEnd = out_.capacity() - kSlack;
            }
            if (bitOff >= slowOff) {
                uint64_t bitPos = windowBit + bitOff;
                if ((bitPos >> 3) >= loadLimit) run_.slideTo(bitPos >> 3);
                if (bitPos + uint64_t(codeSize) >= fetchedEnd) {
                    bool whole = run_.fetchFor(bitPos, codeSize);
                    fetchedEnd = run_.fetchedEnd();
                    if (!whole) {
                        ended_ = true;
                        break;
                    }
                }
                // Either step may have moved the window.
                window = run_.window();
                windowBit = run_.windowStart() * 8;
                loadLimit = run_.loadLimit();
                bitOff = uint32_t(bitPos - windowBit);
                slowOff = slowPoint(codeSize);
            }
            if (bitOff < slowOff && pos <= roomEnd && maxCode < kTableSize) {
                size_t posLimit = targetEnd < roomEnd + 1 ? targetEnd : roomEnd + 1;
                HitRun hits{.window = window,
                            .base = base,
                            .table = &table,
                            .bitOff = bitOff,
                            .slowOff = slowOff,
                            .pos = pos,
                            .posLimit = posLimit,
                            .codeSize = codeSize,
                            .maxCode = maxCode,
                            .maxCodeEnd = maxCodeSize,
                            .oldLength = oldLength,
                            .oldHead = oldHead};
                decodeTableHits(hits);
                if (hits.pos != pos) {
                    oldPos = uint32_t(hits.pos - hits.oldLength);
                    oldLength = hits.oldLength;
                    oldHead = hits.oldHead;
                    pos = hits.pos;
                    bitOff = hits.bitOff;
                    maxCode = hits.maxCode;
                    continue; // the checks again
                }
            }
            uint32_t word;
            std::memcpy(&word, window + (bitOff >> 3), 4);
            code = int((word >> (bitOff & 7)) & mask);
            bitOff += uint32_t(codeSize);

            uint32_t length;
            Head head;
            if (unsigned(code - clearCode) > 1u && code < maxCode) {
                head = table.head[code];
                length = table.length[code];
                storeHead(base + pos, head);
                if (length > kHeadBytes)
                    copyString(base + pos + kHeadBytes, base + table.pos[code] + kHeadBytes,
                               length - kHeadBytes);
            } else if (code == maxCode) { // the string being defined: the last one and its first byte
                head = extendHead(oldHead, oldLength, oldHead & 0xFF);
                length = oldLength + 1;
                storeHead(base + pos, head);
                if (length > kHeadBytes) {
                    copyString(base + pos + kHeadBytes, base + oldPos + kHeadBytes, oldLength - kHeadBytes);
                    base[pos + oldLength] = uint8_t(oldHead);
                }
            } else {
                break; // a clear code, the end code or a bad code: handled below
            }
            if (maxCode < kTableSize) {
                table.head[maxCode] = extendHead(oldHead, oldLength, head & 0xFF);
                table.length[maxCode] = uint16_t(oldLength + 1);
                table.pos[maxCode] = oldPos;
                if (++maxCode >= maxCodeSize && maxCodeSize < kTableSize) {
                    maxCodeSize *= 2;
                    ++codeSize;
                    mask = (uint32_t(1) << codeSize) - 1;
                    slowOff = slowPoint(codeSize);
                }
            }
            oldPos = uint32_t(pos);
            oldLength = length;
            oldHead = head;
            pos += length;
            code = -1;
        }

        bitPos_ = windowBit + bitOff;
        codeSize_ = codeSize;
        maxCode_ = maxCode;
        maxCodeSize_ = maxCodeSize;
        pos_ = pos;
        oldPos_ = oldPos;
        oldLength_ = oldLength;
        oldHead_ = oldHead;
        if (ended_ || pos >= targetEnd || code < 0) return;

        if (code == clearCode_) {
            compact();
            resetTable();
            int first = readFirstCode();
            if (first < 0) {
                ended_ = true;
                return;
            }
            startString(first);
        } else if (code == endCode_) {
            run_.readEnd();
            ended_ = true;
        } else {
            fatalError("LZW data error: a code beyond the next free table slot");
        }
    }

    // What the value decoder's next value would be, as far as its sign goes.
    int oneMoreValue() {
        if (bufferStart_ + pos_ == 0) return readFirstCode(); // no value was read yet
        int code = readCode();
        if (code < 0) return code;
        if (code == clearCode_) {
            resetTable();
            return readFirstCode();
        }
        if (code == endCode_) {
            run_.readEnd();
            return -2;
        }
        if (code > maxCode_) fatalError("LZW data error: a code beyond the next free table slot");
        return 0;
    }

    BlockRun run_;
    const uint64_t target_;
    Output out_;
    RowWriter writer_;
    const uint32_t width_;
    const int minimumCodeSize_, clearCode_, endCode_;
    uint64_t targetEnd_;                     // target_ counted from the buffer's start
    uint64_t bufferStart_ = 0, emitted_ = 0; // pixels before the buffer; pixels written out
    int codeSize_ = 0, maxCodeSize_ = 0, maxCode_ = 0;
    uint64_t bitPos_ = 0;
    size_t pos_ = 0;
    uint32_t oldPos_ = 0, oldLength_ = 0;
    Head oldHead_ = 0;
    bool ended_ = false;
    StringTable table_;
};

} // namespace

void decodeImageFast(std::FILE* file, int minimumCodeSize, int width, int height, const unsigned char* red,
                     bool interlaced) {
    auto decoder = std::make_unique<FastDecoder>(file, minimumCodeSize, red, width, height, interlaced);
    decoder->run();
}

} // namespace lzw_detail
