// UTF-8 and UTF-16 forms of paths, written out so the portable code needs no system header.
#include "path_text.h"

namespace {

// The number of continuation bytes after lead, or -1 when lead cannot begin a character.
int continuationCount(unsigned char lead) {
    if (lead < 0x80) return 0;
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return -1;
}

} // namespace

bool utf16OfPath(std::string_view path, std::u16string* wide) {
    wide->clear();
    wide->reserve(path.size());
    size_t i = 0;
    while (i < path.size()) {
        unsigned char lead = static_cast<unsigned char>(path[i]);
        int extra = continuationCount(lead);
        if (extra < 0 || path.size() - i <= size_t(extra)) {
            wide->clear();
            return false;
        }
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(path[i + size_t(k)]);
            if ((next & 0xC0) != 0x80) {
                wide->clear();
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong three- and four-byte forms, and code points past U+10FFFF.
        if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF))) {
            wide->clear();
            return false;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            wide->push_back(char16_t(0xD800 + (code >> 10)));
            wide->push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            wide->push_back(char16_t(code));
        }
        i += size_t(extra) + 1;
    }
    return true;
}

std::string pathOfUtf16(std::u16string_view wide) {
    std::string path;
    path.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t code = wide[i];
        bool pairs = code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                     wide[i + 1] <= 0xDFFF;
        if (pairs) code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00);
        if (code < 0x80) {
            path.push_back(char(code));
        } else if (code < 0x800) {
            path.push_back(char(0xC0 | (code >> 6)));
            path.push_back(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            path.push_back(char(0xE0 | (code >> 12)));
            path.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            path.push_back(char(0x80 | (code & 0x3F)));
        } else {
            path.push_back(char(0xF0 | (code >> 18)));
            path.push_back(char(0x80 | ((code >> 12) & 0x3F)));
            path.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            path.push_back(char(0x80 | (code & 0x3F)));
        }
    }
    return path;
}

#ifdef _WIN32
std::wstring widePath(std::string_view path) {
    std::u16string wide;
    if (!utf16OfPath(path, &wide)) return {};
    return std::wstring(wide.begin(), wide.end());
}

std::string pathOfWide(const wchar_t* wide) {
    std::u16string units;
    for (; *wide; ++wide)
        units.push_back(char16_t(*wide));
    return pathOfUtf16(units);
}
#endif
