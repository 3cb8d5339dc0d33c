// The notebook's file operations on Windows: the replacement is MoveFileExA, which replaces the
// old file in one step and returns only once the move is on the disk.
#include <windows.h>

#include <io.h>

#include <cstdio>

#include "notebook_file.h"

namespace {

bool writeAll(std::FILE* file, const void* bytes, size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool moveOver(const char* temporary, const char* target) {
    return MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

NotebookFiles defaultNotebookFiles() {
    return {writeAll, flushToDisk, moveOver};
}
