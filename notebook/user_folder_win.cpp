// The user files' folder on Windows: the start-ups' lock is a named mutex of the session, which
// the system lets go should its holder die; what is at a path comes from its attributes.
#include <windows.h>

#include "notebook_file.h"
#include "path_text.h"
#include "user_folder.h"

namespace {

bool lockStartUps(intptr_t* held) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Kovanta-user-files");
    if (!mutex) return false;
    // A holder that died left no half-made file: every step it took replaced its target whole.
    DWORD waited = WaitForSingleObject(mutex, DWORD(kNotebookLockWaitMs));
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        *held = reinterpret_cast<intptr_t>(mutex);
        return true;
    }
    CloseHandle(mutex);
    return false;
}

void unlockStartUps(intptr_t held) {
    HANDLE mutex = reinterpret_cast<HANDLE>(held);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

PathKind look(const char* path) {
    DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kNone
                                                                              : PathKind::kOther;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kOther;
    return attributes & FILE_ATTRIBUTE_READONLY ? PathKind::kReadOnlyFile : PathKind::kFile;
}

void makeFolder(const char* folder) {
    CreateDirectoryW(widePath(folder).c_str(), nullptr);
}

} // namespace

UserFolderFiles defaultUserFolderFiles() {
    return {lockStartUps, unlockStartUps, look, makeFolder};
}
