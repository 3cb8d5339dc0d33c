// Reading and replacing files, and making folders; paths are UTF-8 (path_text.h).
#include "tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "fileio.h"
#include "path_text.h"

namespace {

std::string systemText(int error) {
    return std::strerror(error ? error : EIO);
}

bool readAll(const std::string& path, std::string& out) {
    File file = openFile(path.c_str(), "rb");
    if (!file) return false;
    out.clear();
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        out.append(chunk, n);
    return !std::ferror(file.get());
}

// The positions of path's folder separators (no byte of a UTF-8 character is one).
std::vector<size_t> separatorsOf(const std::string& path) {
    std::vector<size_t> at;
    for (size_t i = 0; i < path.size(); ++i) {
#ifdef _WIN32
        if (path[i] == '\\') at.push_back(i);
#endif
        if (path[i] == '/') at.push_back(i);
    }
    return at;
}

int makeOneFolder(const std::string& path) {
#ifdef _WIN32
    return _wmkdir(widePath(path).c_str());
#else
    return mkdir(path.c_str(), 0777);
#endif
}

// The kind of what is at path: S_IFDIR, S_IFREG, another kind, or 0 when nothing is.
unsigned kindAt(const std::string& path) {
#ifdef _WIN32
    struct _stat info;
    if (_wstat(widePath(path).c_str(), &info) != 0) return 0;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return 0;
#endif
    return unsigned(info.st_mode & S_IFMT);
}

bool isFolder(const std::string& path) {
    return kindAt(path) == S_IFDIR;
}

// 1: a regular file, 0: missing, -1: something else (a device, a folder).
int targetKind(const std::string& path) {
    unsigned kind = kindAt(path);
    if (kind == 0) return 0;
    return kind == S_IFREG ? 1 : -1;
}

// A new file of its own beside path, opened for writing.
File createTemporaryBeside(const std::string& path, std::string& name) {
    static unsigned serial = 0;
#ifdef _WIN32
    int pid = _getpid();
#else
    int pid = int(getpid());
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".tmp-" + std::to_string(pid) + "-" + std::to_string(serial++);
#ifdef _WIN32
        int fd =
            _wopen(widePath(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return File();
        std::FILE* stream = _fdopen(fd, "wb");
        if (!stream) _close(fd);
#else
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return File();
        std::FILE* stream = fdopen(fd, "wb");
        if (!stream) close(fd);
#endif
        return File(stream);
    }
    return File();
}

bool replace(const std::string& from, const std::string& to, std::string& reason) {
#ifdef _WIN32
    if (MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    reason = "it cannot be replaced (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
#else
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    reason = systemText(errno);
    return false;
#endif
}

bool writeAndClose(File& file, const void* data, size_t size) {
    errno = 0;
    bool ok = size == 0 || std::fwrite(data, 1, size, file.get()) == size;
    int writeError = errno;
    ok = file.close() && ok;
    if (writeError && !ok) errno = writeError;
    return ok;
}

} // namespace

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::string text;
    if (!readAll(path, text)) return false;
    bytes.assign(text.begin(), text.end());
    return true;
}

bool readFileText(const std::string& path, std::string& text) {
    return readAll(path, text);
}

bool writeFileReplacing(const std::string& path, const void* data, size_t size, std::string& error) {
    auto failed = [&](const std::string& reason) {
        error = path + ": cannot be written: " + reason;
        return false;
    };
    if (targetKind(path) < 0) { // a device or the like: there is nothing to keep
        File file = openFile(path.c_str(), "wb");
        if (!file) return failed(systemText(errno));
        if (!writeAndClose(file, data, size)) return failed(systemText(errno));
        return true;
    }
    std::string temporary;
    File file = createTemporaryBeside(path, temporary);
    if (!file) return failed(systemText(errno));
    if (!writeAndClose(file, data, size)) {
        std::string reason = systemText(errno);
        std::remove(temporary.c_str());
        return failed(reason);
    }
    std::string reason;
    if (!replace(temporary, path, reason)) {
        std::remove(temporary.c_str());
        return failed(reason);
    }
    return true;
}

bool makeFolders(const std::string& folder, std::string& error) {
    std::vector<size_t> separators = separatorsOf(folder);
    separators.push_back(folder.size());
    for (size_t at : separators) {
        if (at == 0) continue; // the root
        std::string prefix = folder.substr(0, at);
        if (prefix.back() == ':' || isFolder(prefix)) continue; // a drive, or there already
        if (makeOneFolder(prefix) != 0 && errno != EEXIST) {
            error = prefix + ": cannot be made: " + systemText(errno);
            return false;
        }
    }
    if (!isFolder(folder)) {
        error = folder + ": is not a folder";
        return false;
    }
    return true;
}

std::string pathIn(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::vector<size_t> separators = separatorsOf(folder);
    if (!separators.empty() && separators.back() == folder.size() - 1) return folder + name;
    return folder + "/" + name;
}
