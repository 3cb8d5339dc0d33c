// GBK texts into UTF-16 and back, whatever code page the test process has.
#include <gtest/gtest.h>

#include "wide_text.h"

namespace {

TEST(WideText, GbkReadsAsChineseAndTypedTextComesBackWithoutAQuietChange) {
    EXPECT_TRUE(gbkCodePageInstalled());
    EXPECT_EQ(widenGbk("华东→电脑商情 A1"), L"华东→电脑商情 A1");
    // Hostile bytes: a pair that is no character, a lead byte alone at the end.
    EXPECT_EQ(widenGbk("A\x81", 2), L"A?");
    wchar_t small[4];
    EXPECT_EQ(widenGbkInto("华东电脑", small, 4), 3) << "whole characters, room for the zero";
    EXPECT_STREQ(small, L"华东电");
    EXPECT_EQ(widenGbkInto("ab\xBB", small, 4), 3);
    EXPECT_EQ(small[2], L'?');

    std::string gbk;
    const std::wstring typed = L"宁波 Ningbo";
    ASSERT_TRUE(narrowToGbk(typed.data(), typed.size(), gbk));
    EXPECT_EQ(gbk, "宁波 Ningbo");
    std::wstring unheld;
    const std::wstring korean = L"宁\xD55C";
    EXPECT_FALSE(narrowToGbk(korean.data(), korean.size(), gbk, &unheld));
    EXPECT_EQ(unheld, L"\xD55C") << "Hangul HAN";
    const std::wstring emoji = L"A\xD83D\xDE00";
    EXPECT_FALSE(narrowToGbk(emoji.data(), emoji.size(), gbk, &unheld));
    EXPECT_EQ(unheld, L"\xD83D\xDE00") << "a character beyond the first plane, whole";
    EXPECT_TRUE(gbk.empty());
}

} // namespace
