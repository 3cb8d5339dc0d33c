// LZW encoder that follows the decoder's code widths exactly: the decoder adds a table entry
// for every code but the first after a clear code, and widens its codes when the next free
// slot reaches the current width's limit, so the encoder keeps a model of that count.
#include "lzw_encoder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTableSize = 4096;
constexpr int kHashBits = 13;
constexpr size_t kHashSize = size_t(1) << kHashBits; // twice the table: short probe chains

// Packs codes least significant bit first straight into sub-blocks: a count byte is reserved
// in front of each run of up to subBlockSize data bytes and filled in when the run is full.
class BitPacker {
  public:
    explicit BitPacker(int subBlockSize) : subBlockSize_(size_t(subBlockSize)) {}
    void put(int code, int width) {
        bits_ |= uint64_t(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            putByte(uint8_t(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> finish() {
        if (count_ > 0) putByte(uint8_t(bits_));
        if (inBlock_ > 0) out_[countAt_] = uint8_t(inBlock_);
        out_.push_back(0);
        return std::move(out_);
    }

  private:
    void putByte(uint8_t byte) {
        if (inBlock_ == 0) {
            countAt_ = out_.size();
            out_.push_back(0);
        }
        out_.push_back(byte);
        if (++inBlock_ == subBlockSize_) {
            out_[countAt_] = uint8_t(inBlock_);
            inBlock_ = 0;
        }
    }

    size_t subBlockSize_;
    uint64_t bits_ = 0;
    int count_ = 0;
    std::vector<uint8_t> out_;
    size_t countAt_ = 0, inBlock_ = 0;
};

} // namespace

std::vector<uint8_t> encodeLzw(const uint8_t* pixels, size_t count, int minimumCodeSize,
                               const LzwEncodeOptions& options) {
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    BitPacker out(std::clamp(options.subBlockSize, 1, 255));

    // Encoder table: hash of (prefix code, next value) -> code.
    std::vector<int32_t> hashKey(kHashSize), hashCode(kHashSize);
    int nextCode = 0;
    // The decoder's view: its next free slot, the slot count that widens codes, the width.
    int decoderNext = 0, decoderLimit = 0, width = 0;
    bool firstAfterClear = true;

    auto reset = [&] {
        std::fill(hashKey.begin(), hashKey.end(), -1);
        nextCode = clearCode + 2;
        decoderNext = clearCode + 2;
        decoderLimit = 2 * clearCode;
        width = minimumCodeSize + 1;
        firstAfterClear = true;
    };
    auto emit = [&](int code) {
        out.put(code, width);
        if (firstAfterClear) {
            firstAfterClear = false;
            return;
        }
        if (decoderNext < kTableSize) {
            ++decoderNext;
            if (decoderNext >= decoderLimit && decoderLimit < kTableSize) {
                decoderLimit *= 2;
                ++width;
            }
        }
    };
    auto clear = [&] {
        out.put(clearCode, width);
        reset();
    };

    reset();
    out.put(clearCode, width);
    if (count > 0) {
        int prefix = pixels[0] & (clearCode - 1);
        for (size_t i = 1; i < count; ++i) {
            int value = pixels[i] & (clearCode - 1);
            int32_t key = (prefix << 8) | value;
            // Multiplicative hashing spreads the 20-bit keys over the whole table.
            size_t h = (uint32_t(key) * 2654435761u) >> (32 - kHashBits);
            while (hashKey[h] != -1 && hashKey[h] != key)
                h = (h + 1) & (kHashSize - 1);
            if (hashKey[h] == key) {
                prefix = hashCode[h];
                continue;
            }
            emit(prefix);
            if (nextCode < kTableSize) {
                hashKey[h] = key;
                hashCode[h] = nextCode++;
                if (nextCode == kTableSize && options.clearWhenFull) clear();
            }
            prefix = value;
        }
        emit(prefix);
    }
    out.put(endCode, width);
    return out.finish();
}
