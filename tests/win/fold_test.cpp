// The search's fold against the system's own lowering, CharLowerA in code page 936, for every
// single-byte character and every double-byte GBK code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "gbktext.h"
#include "search_core.h"

namespace {

std::string hex(const std::string& bytes) {
    std::string text;
    char part[4];
    for (unsigned char b : bytes) {
        std::snprintf(part, sizeof part, "%02X", b);
        text += part;
    }
    return text;
}

// Whether bytes are exactly one character of code page 936 that converts back to them.
bool isOneCharacter(const std::string& bytes) {
    wchar_t wide[4];
    int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), wide, 4);
    char back[8];
    int m = n == 1 ? WideCharToMultiByte(936, 0, wide, 1, back, sizeof back, nullptr, nullptr) : 0;
    return m == int(bytes.size()) && bytes.compare(0, bytes.size(), back, size_t(m)) == 0;
}

// CharLowerA on a buffer holding exactly that character. Where the small form is no GBK
// character (Ⅺ, Ⅻ) the system leaves "?" and a stray byte; the search keeps the character.
std::string systemFold(const std::string& character) {
    char buffer[3] = {};
    character.copy(buffer, character.size());
    CharLowerA(buffer);
    std::string lowered(buffer, character.size());
    return isOneCharacter(lowered) ? lowered : character;
}

TEST(SearchFold, EveryGbkCharacterFoldsAsCharLowerA) {
    ASSERT_EQ(GetACP(), 936u) << "code page 936 comes from LC_ALL=zh_CN.UTF-8";
    std::string firstDifference;
    int lowered = 0;
    for (unsigned code = 0x01; code <= 0xFEFE && firstDifference.empty(); ++code) {
        unsigned char lead = code >> 8, trail = code & 0xFF;
        std::string character;
        if (lead == 0 && !isGbkLeadByte(trail))
            character = std::string(1, char(trail));
        else if (isGbkLeadByte(lead) && trail >= 0x40 && trail != 0x7F && trail != 0xFF)
            character = {char(lead), char(trail)};
        else
            continue;
        std::string expected = systemFold(character);
        char ours[3] = {};
        character.copy(ours, character.size());
        foldSearchText(ours);
        lowered += expected != character;
        if (expected != ours)
            firstDifference =
                "code " + hex(character) + ": CharLowerA " + hex(expected) + ", the fold " + hex(ours);
    }
    EXPECT_EQ(firstDifference, "");
    EXPECT_EQ(lowered, 26 + 93) << "A-Z, and Ⅰ-Ⅹ, full-width Ａ-Ｚ, Greek Α-Ω and Cyrillic А-Я";
}

} // namespace
