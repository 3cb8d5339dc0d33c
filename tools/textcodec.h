// UTF-8 <-> GBK (code page 936) for the publisher's tools.
#pragma once

#include <cstddef>
#include <string>

// Converts UTF-8 text to GBK. On a character GBK cannot hold (or bad UTF-8), returns false and
// sets badCharacter to that character as UTF-8.
bool utf8ToGbk(const std::string& utf8, std::string& gbk, std::string& badCharacter);

// Converts GBK text to UTF-8; bytes that are not GBK become U+FFFD.
std::string gbkToUtf8(const std::string& gbk);
