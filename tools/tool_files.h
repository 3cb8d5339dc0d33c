// Files of the publisher's tools: whole-file reads, writes that replace their target only once
// complete, folders, and paths inside a folder.
//
// Paths are UTF-8 (path_text.h), on Windows too, where the command line is taken in UTF-16
// (useUtf8Arguments) so a folder named in any script is found whatever the code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
bool readFileText(const std::string& path, std::string& text);

// Writes data to path through a temporary file in the same folder, which is flushed and
// closed, checked, and then renamed over path: a failed write leaves what was at path untouched
// and no partial file. A path that exists but is not a regular file (a device such as
// /dev/stdout) is written in place and checked through its close. False with "PATH: cannot be
// written: reason" in error.
bool writeFileReplacing(const std::string& path, const void* data, size_t size, std::string& error);
inline bool writeFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes,
                               std::string& error) {
    return writeFileReplacing(path, bytes.data(), bytes.size(), error);
}

// Creates folder and the parents it lacks; false with "FOLDER: reason" in error.
bool makeFolders(const std::string& folder, std::string& error);

// The path of name inside folder.
std::string pathIn(const std::string& folder, const std::string& name);
