// The notebook's file operations on Windows: the replacement is MoveFileExW, which replaces the
// old file in one step and returns only once the move is on the disk; the lock is a lock file
// opened without sharing, which the system deletes when its handle closes.
#include <windows.h>

#include <io.h>

#include <cstdio>

#include "notebook_file.h"
#include "path_text.h"

namespace {

bool writeAll(std::FILE* file, const void* bytes, size_t size) {
    return std::fwrite(bytes, 1, size, file) == size;
}

bool flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

// A reader holds the old file for the moment it takes to read it: another copy showing its
// notebook, or one copying it at its start-up. The system refuses the replacement meanwhile.
bool moveOver(const char* temporary, const char* target) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (MoveFileExW(widePath(temporary).c_str(), widePath(target).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
            GetTickCount() - start >= DWORD(kNotebookReplaceWaitMs))
            return false;
        Sleep(1);
    }
}

// Another holder's file refuses sharing, and refuses access while it is being deleted; a
// folder that refuses the file is not worth waiting for.
bool heldByAnother(const char* lockPath, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION) return true;
    return error == ERROR_ACCESS_DENIED &&
           (GetFileAttributesW(widePath(lockPath).c_str()) != INVALID_FILE_ATTRIBUTES ||
            GetLastError() == ERROR_ACCESS_DENIED);
}

bool lockFile(const char* lockPath, intptr_t* held) {
    const DWORD start = GetTickCount(); // the difference stays right across its wrap
    for (;;) {
        HANDLE file = CreateFileW(widePath(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            *held = reinterpret_cast<intptr_t>(file);
            return true;
        }
        if (!heldByAnother(lockPath, GetLastError()) || GetTickCount() - start >= DWORD(kNotebookLockWaitMs))
            return false;
        Sleep(5);
    }
}

void unlockFile(const char*, intptr_t held) {
    CloseHandle(reinterpret_cast<HANDLE>(held));
}

unsigned long processId() {
    return GetCurrentProcessId();
}

} // namespace

NotebookFiles defaultNotebookFiles() {
    return {writeAll, flushToDisk, moveOver, lockFile, unlockFile, processId};
}
