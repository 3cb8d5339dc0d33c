// GBK texts into the window system and typed texts back. The program's texts are GBK (code page
// 936) wherever they are stored or exchanged; windows get them as UTF-16, converted here with
// code page 936 named, so they read right whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

#include <string>

// False where Windows has no code page 936 (a Western Windows XP without the East Asian
// language files): no GBK text could be shown there.
bool gbkCodePageInstalled();

// UTF-16 of length GBK bytes (up to the zero byte without a length). Every GBK character is one
// UTF-16 unit; a byte pair that is no character becomes "?", as does a lead byte alone at the end.
std::wstring widenGbk(const char* gbk, size_t length);
std::wstring widenGbk(const char* gbk);

// UTF-8 of GBK text, for what leaves the program in UTF-8 (the exported list, the clipboard's
// HTML table).
std::string utf8OfGbk(const std::string& gbk);

// UTF-16 text in the system's ANSI code page, for programs that read only that form (the
// clipboard's CF_TEXT): on a Chinese system the GBK bytes themselves.
std::string systemCodePageText(const std::wstring& wide);
// And back: text a system control handed over in the ANSI code page.
std::wstring widenSystemCodePage(const char* ansi);

// The same into a fixed buffer of capacity units (at least 1): as many whole characters as fit
// before the terminating zero. Returns the units written before it.
int widenGbkInto(const char* gbk, wchar_t* out, int capacity);

// GBK of typed UTF-16 text. False when a character has no GBK form, which is then in *unheld
// (two units for a character beyond the first plane): no character is quietly turned into
// another.
bool narrowToGbk(const wchar_t* wide, size_t length, std::string& gbk, std::wstring* unheld = nullptr);

// The Chinese (PRC) locale, whose order ranks the program's texts whatever the user's locale.
inline constexpr LCID kChineseLocale =
    MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
// Two GBK texts in that order: negative, zero or positive.
int compareGbkText(const char* a, const char* b);

// MessageBoxW with GBK texts.
int gbkMessageBox(HWND owner, const char* text, const char* caption, UINT flags);
