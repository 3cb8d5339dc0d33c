// GBK to UTF-16 and back, with code page 936 named, never the system's ANSI code page.
#include "wide_text.h"

#include <cstring>

namespace {

constexpr UINT kGbk = 936;

bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// UTF-16 in a code page of at most four bytes a unit.
std::string narrowInto(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    std::string narrow(wide.size() * 4, '\0');
    int bytes = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), narrow.data(),
                                    int(narrow.size()), nullptr, nullptr);
    narrow.resize(bytes > 0 ? size_t(bytes) : 0);
    return narrow;
}

} // namespace

bool gbkCodePageInstalled() {
    return IsValidCodePage(kGbk) != FALSE;
}

std::wstring widenGbk(const char* gbk, size_t length) {
    std::wstring wide;
    if (length == 0) return wide;
    // One unit per character at most: the byte count is enough room.
    wide.resize(length);
    int units = MultiByteToWideChar(kGbk, 0, gbk, int(length), wide.data(), int(length));
    wide.resize(units > 0 ? size_t(units) : 0);
    return wide;
}

std::wstring widenGbk(const char* gbk) {
    return widenGbk(gbk, std::strlen(gbk));
}

std::string utf8OfGbk(const std::string& gbk) {
    return narrowInto(CP_UTF8, widenGbk(gbk.data(), gbk.size()));
}

std::string systemCodePageText(const std::wstring& wide) {
    return narrowInto(CP_ACP, wide);
}

std::wstring widenSystemCodePage(const char* ansi) {
    int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (units <= 1) return {};
    std::wstring wide(size_t(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), units);
    wide.resize(size_t(units - 1));
    return wide;
}

int widenGbkInto(const char* gbk, wchar_t* out, int capacity) {
    // The longest run of whole characters (a pair counted as one) that leaves room for the zero.
    size_t bytes = 0;
    int characters = 0;
    while (gbk[bytes] != '\0' && characters < capacity - 1) {
        bool pair = isLeadByte(static_cast<unsigned char>(gbk[bytes])) && gbk[bytes + 1] != '\0';
        bytes += pair ? 2 : 1;
        ++characters;
    }
    int units = bytes > 0 ? MultiByteToWideChar(kGbk, 0, gbk, int(bytes), out, capacity - 1) : 0;
    if (units < 0) units = 0;
    out[units] = L'\0';
    return units;
}

bool narrowToGbk(const wchar_t* wide, size_t length, std::string& gbk, std::wstring* unheld) {
    gbk.clear();
    if (length == 0) return true;
    gbk.resize(length * 2);
    BOOL defaulted = FALSE;
    int bytes = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, int(length), gbk.data(),
                                    int(gbk.size()), nullptr, &defaulted);
    gbk.resize(bytes > 0 ? size_t(bytes) : 0);
    if (!defaulted && bytes > 0) return true;
    // Find the character that has no GBK form, one at a time (a pair of surrogates together).
    if (unheld) {
        unheld->clear();
        for (size_t i = 0; i < length; ++i) {
            int count = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < length) ? 2 : 1;
            char one[4];
            BOOL missing = FALSE;
            if (WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide + i, count, one, sizeof one, nullptr,
                                    &missing) <= 0 ||
                missing) {
                unheld->assign(wide + i, size_t(count));
                break;
            }
            i += size_t(count - 1);
        }
    }
    gbk.clear();
    return false;
}

int compareGbkText(const char* a, const char* b) {
    return CompareStringW(kChineseLocale, 0, widenGbk(a).c_str(), -1, widenGbk(b).c_str(), -1) - CSTR_EQUAL;
}

int gbkMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxW(owner, widenGbk(text).c_str(), widenGbk(caption).c_str(), flags);
}
