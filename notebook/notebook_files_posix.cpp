// The notebook's file operations on POSIX systems: the replacement is a rename.
#include <unistd.h>

#include <cstdio>

#include "notebook_file.h"

namespace {

bool writeAll(std::FILE* file, const void* bytes, size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool renameOver(const char* temporary, const char* target) {
    return std::rename(temporary, target) == 0;
}

} // namespace

NotebookFiles defaultNotebookFiles() {
    return {writeAll, flushToDisk, renameOver};
}
