// The GBK conversions through the Windows code page functions.
#include <windows.h>

#include "textcodec.h"

namespace {

std::wstring widen(const std::string& text, UINT codePage, DWORD flags) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& wide, UINT codePage, BOOL* lost) {
    if (wide.empty()) return {};
    BOOL* lostFlag = codePage == CP_UTF8 ? nullptr : lost;
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n =
        WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, lostFlag);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), out.data(), n, nullptr, lostFlag);
    return out;
}

} // namespace

bool utf8ToGbk(const std::string& utf8, std::string& gbk, std::string& badCharacter) {
    gbk.clear();
    // Character by character, so the first one that code page 936 lacks can be named.
    size_t pos = 0;
    while (pos < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[pos]);
        size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::string one = utf8.substr(pos, n);
        std::wstring wide = widen(one, CP_UTF8, MB_ERR_INVALID_CHARS);
        BOOL lost = FALSE;
        std::string narrowed = wide.empty() ? std::string() : narrow(wide, 936, &lost);
        if (wide.empty() || lost || narrowed.empty()) {
            badCharacter = one;
            return false;
        }
        gbk += narrowed;
        pos += n;
    }
    return true;
}

std::string gbkToUtf8(const std::string& gbk) {
    BOOL unused = FALSE;
    return narrow(widen(gbk, 936, 0), CP_UTF8, &unused);
}
