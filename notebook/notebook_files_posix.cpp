// The notebook's file operations on POSIX systems: the replacement is a rename, the lock an
// flock on a lock file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

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

// The holder removes the lock file before it lets go, so a lock taken on a file that is no
// longer the one at lockPath is no lock: it is let go and taken again on the new file.
bool lockFile(const char* lockPath, intptr_t* held) {
    const timespec pause{0, 5 * 1000 * 1000};
    for (int waited = 0;; waited += 5) {
        int fd = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat taken, current;
            if (fstat(fd, &taken) == 0 && stat(lockPath, &current) == 0 && taken.st_dev == current.st_dev &&
                taken.st_ino == current.st_ino) {
                *held = fd;
                return true;
            }
        }
        close(fd);
        if (waited >= kNotebookLockWaitMs) return false;
        nanosleep(&pause, nullptr);
    }
}

void unlockFile(const char* lockPath, intptr_t held) {
    unlink(lockPath);
    close(int(held));
}

unsigned long processId() {
    return static_cast<unsigned long>(getpid());
}

} // namespace

NotebookFiles defaultNotebookFiles() {
    return {writeAll, flushToDisk, renameOver, lockFile, unlockFile, processId};
}
