// Choosing the user files' folder, and moving what the system folder holds to the per-user one.
#include "user_folder.h"

#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace {

bool exists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

bool makeFolder(const std::string& folder) {
#ifdef _WIN32
    _mkdir(folder.c_str());
#else
    mkdir(folder.c_str(), 0777);
#endif
    return true; // whether it can be written is what counts, and is tested next
}

bool writableThere(const std::string& path) {
    bool existed = exists(path);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    bool closed = std::fclose(file) == 0;
    if (!existed) std::remove(path.c_str());
    return closed;
}

// A copy that is complete or not there at all.
bool copyFile(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    std::vector<char> bytes;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool read = !std::ferror(in);
    std::fclose(in);
    if (!read) return false;
    std::string temporary = to + ".new";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), to.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
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
    return writableThere(pathIn(folder, kNotebookFileName)) &&
           writableThere(pathIn(folder, kSearchHistoryFileName)) &&
           writableThere(pathIn(folder, "MyDocInf.wrk.new"));
}

std::string userFileFolder(const std::string& systemFolder, const std::string& perUserFolder) {
    const char* names[] = {kNotebookFileName, kSearchHistoryFileName};
    if (perUserFolder.empty()) return systemFolder;
    for (const char* name : names)
        if (exists(pathIn(perUserFolder, name))) return perUserFolder;
    if (userFilesWritable(systemFolder)) return systemFolder;
    makeFolder(perUserFolder);
    if (!userFilesWritable(perUserFolder)) return systemFolder;
    for (const char* name : names) {
        std::string from = pathIn(systemFolder, name);
        if (exists(from) && !copyFile(from, pathIn(perUserFolder, name))) {
            // Half a move would be taken for a whole one at the next start.
            for (const char* copied : names)
                std::remove(pathIn(perUserFolder, copied).c_str());
            return systemFolder;
        }
    }
    return perUserFolder;
}
