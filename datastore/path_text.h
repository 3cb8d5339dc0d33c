// Paths inside the program and its tools are narrow UTF-8 strings on every platform, so a folder
// named in any script fits in a char buffer. On Windows they cross into the system as UTF-16
// here; a name Windows holds with a lone surrogate is carried as its three-byte form (WTF-8), so
// every path the system hands over comes back to it unchanged.
#pragma once

#include <string>
#include <string_view>

// The UTF-16 form of a narrow path; false (and *wide cleared) on bytes that are not UTF-8.
bool utf16OfPath(std::string_view path, std::u16string* wide);
// The narrow form of a UTF-16 path. Never fails: any sequence of units has one.
std::string pathOfUtf16(std::u16string_view wide);

#ifdef _WIN32
// The forms the W functions take; an undecodable path becomes "" (which names no file).
std::wstring widePath(std::string_view path);
std::string pathOfWide(const wchar_t* wide);
#endif
