// Choosing the user files' folder, and moving what the system folder holds to the per-user one.
#include "user_folder.h"

#include <cstdio>

#include "fileio.h"
#include "notebook_file.h"

UserFolderFiles userFolderFiles = defaultUserFolderFiles();

namespace {

// Held while one start-up chooses and moves. Should it not come, the start-up goes on without
// it: each step below is whole on its own, only two copies may then both do the same move.
class StartUpLock {
  public:
    StartUpLock() { held_ = userFolderFiles.lock(&handle_); }
    ~StartUpLock() {
        if (held_) userFolderFiles.unlock(handle_);
    }
    StartUpLock(const StartUpLock&) = delete;
    StartUpLock& operator=(const StartUpLock&) = delete;

  private:
    intptr_t handle_ = 0;
    bool held_ = false;
};

bool present(const std::string& folder, const char* name) {
    PathKind kind = userFolderFiles.look(pathIn(folder, name).c_str());
    return kind == PathKind::kFile || kind == PathKind::kReadOnlyFile;
}

// from copied to to through this process's temporary file, which replaces to in one step.
bool copyFile(const std::string& from, const std::string& to) {
    File in = openFile(from.c_str(), "rb");
    if (!in) return false;
    std::string temporary = notebookTemporaryPath(to.c_str());
    File out = openFile(temporary.c_str(), "wb");
    if (!out) return false;
    char chunk[16384];
    bool ok = true;
    size_t count;
    while (ok && (count = std::fread(chunk, 1, sizeof chunk, in.get())) > 0)
        ok = notebookFiles.write(out.get(), chunk, count);
    ok = ok && !std::ferror(in.get()) && notebookFiles.commit(out.get());
    ok = out.close() && ok;
    in = File();
    if (ok && notebookFiles.replace(temporary.c_str(), to.c_str())) return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace

std::string pathIn(const std::string& folder, const char* name) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    return folder + separator + name;
}

bool userFilesWritable(const std::string& folder) {
    for (const char* name : {kNotebookFileName, kSearchHistoryFileName}) {
        PathKind kind = userFolderFiles.look(pathIn(folder, name).c_str());
        if (kind == PathKind::kReadOnlyFile || kind == PathKind::kOther) return false;
    }
    std::string probe = notebookTemporaryPath(pathIn(folder, kNotebookFileName).c_str());
    PathKind before = userFolderFiles.look(probe.c_str());
    if (before == PathKind::kReadOnlyFile || before == PathKind::kOther) return false;
    // One left by an earlier process of the same id is this process's name all the same: it is
    // opened without being emptied, and left there.
    File file = openFile(probe.c_str(), before == PathKind::kNone ? "wb" : "ab");
    if (!file) return false;
    bool closed = file.close();
    if (before == PathKind::kNone) std::remove(probe.c_str());
    return closed;
}

std::string userFileFolder(const std::string& systemFolder, const std::string& perUserFolder) {
    if (perUserFolder.empty()) return systemFolder;
    StartUpLock lock;
    if (present(perUserFolder, kNotebookFileName)) return perUserFolder;
    const bool systemNotes = present(systemFolder, kNotebookFileName);
    if (present(perUserFolder, kSearchHistoryFileName)) {
        if (!systemNotes) return perUserFolder;
        // The history went and the notebook did not: the move was cut short.
        return copyFile(pathIn(systemFolder, kNotebookFileName), pathIn(perUserFolder, kNotebookFileName))
                   ? perUserFolder
                   : systemFolder;
    }
    if (userFilesWritable(systemFolder)) return systemFolder;
    userFolderFiles.makeFolder(perUserFolder.c_str());
    if (!userFilesWritable(perUserFolder)) return systemFolder;
    // The notebook last: its arrival makes the move whole.
    for (const char* name : {kSearchHistoryFileName, kNotebookFileName})
        if (present(systemFolder, name) && !copyFile(pathIn(systemFolder, name), pathIn(perUserFolder, name)))
            return systemFolder;
    return perUserFolder;
}
