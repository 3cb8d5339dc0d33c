// The user files' folder on POSIX systems: the start-ups' lock is the notebook's kind of lock
// on a file in the temporary folder; what is at a path comes from stat and access.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "notebook_file.h"
#include "user_folder.h"

namespace {

std::string lockPath() {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/kovanta-user-files.lock";
}

bool lockStartUps(intptr_t* held) {
    return defaultNotebookFiles().lock(lockPath().c_str(), held);
}

void unlockStartUps(intptr_t held) {
    defaultNotebookFiles().unlock(lockPath().c_str(), held);
}

PathKind look(const char* path) {
    struct stat status;
    if (stat(path, &status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::kNone : PathKind::kOther;
    if (!S_ISREG(status.st_mode)) return PathKind::kOther;
    return access(path, W_OK) == 0 ? PathKind::kFile : PathKind::kReadOnlyFile;
}

void makeFolder(const char* folder) {
    mkdir(folder, 0777);
}

} // namespace

UserFolderFiles defaultUserFolderFiles() {
    return {lockStartUps, unlockStartUps, look, makeFolder};
}
