// Opening and closing files, and 64-bit file positioning on both the C library of Linux and the
// MinGW runtime.
#include "fileio.h"

#include "path_text.h"

bool File::close() {
    if (!stream_) return false;
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    return ok;
}

File openFile(const char* path, const char* mode) {
#ifdef _WIN32
    std::wstring widePathName = widePath(path), wideMode(mode, mode + std::char_traits<char>::length(mode));
    if (widePathName.empty()) return File();
    return File(_wfopen(widePathName.c_str(), wideMode.c_str()));
#else
    return File(std::fopen(path, mode));
#endif
}

int seekTo(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, int64_t(offset), SEEK_SET);
#else
    return fseeko(file, off_t(offset), SEEK_SET);
#endif
}

int seekFromEnd(std::FILE* file, int64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, offset, SEEK_END);
#else
    return fseeko(file, off_t(offset), SEEK_END);
#endif
}

int64_t tellAt(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return int64_t(ftello(file));
#endif
}

int64_t fileSize(std::FILE* file) {
    int64_t here = tellAt(file);
    if (here < 0 || seekFromEnd(file, 0) != 0) return -1;
    int64_t size = tellAt(file);
    if (seekTo(file, uint64_t(here)) != 0) return -1;
    return size;
}
