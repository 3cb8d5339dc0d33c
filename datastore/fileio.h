// Files of the data store and the tools: the one way they are opened, an owning C stream, and
// file positions beyond 2 GiB (`long` is 32 bits on Windows, so seeks go through these).
#pragma once

#include <cstdint>
#include <cstdio>

// Owns a C stream: it is closed when the File goes out of scope, also when a fatal error ends
// the process by unwinding (as the tests and fuzz targets make it), so no handle is left open.
class File {
  public:
    File() = default;
    explicit File(std::FILE* stream) : stream_(stream) {}
    ~File() {
        if (stream_) std::fclose(stream_);
    }
    File(File&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            if (stream_) std::fclose(stream_);
            stream_ = other.stream_;
            other.stream_ = nullptr;
        }
        return *this;
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    std::FILE* get() const { return stream_; }
    explicit operator bool() const { return stream_ != nullptr; }

    // Flushes and closes; false when anything written did not reach the file.
    bool close();

  private:
    std::FILE* stream_ = nullptr;
};

// Opens path (UTF-8, path_text.h) with an fopen mode; on Windows through its UTF-16 form, so
// the system's code page never decides which files can be opened.
File openFile(const char* path, const char* mode);

// Returns 0 on success, like fseek.
int seekTo(std::FILE* file, uint64_t offset);
int seekFromEnd(std::FILE* file, int64_t offset);
// Size of the open file in bytes, or -1.
int64_t fileSize(std::FILE* file);
int64_t tellAt(std::FILE* file);

// Little-endian integers from a byte buffer.
inline uint16_t readU16LE(const unsigned char* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t readU32LE(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void writeU16LE(unsigned char* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeU32LE(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
