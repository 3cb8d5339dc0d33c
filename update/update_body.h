// The body of an update host's .up file: the newest data date, the newest program version and
// a description, each one length byte (0..255) and that many bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t kUpDateLimit = 15, kUpVersionLimit = 11, kUpDescriptionLimit = 255;

// Texts in GBK. False with a reason when one is too long for the program to read it.
bool writeUpdateBody(const std::string& date, const std::string& version, const std::string& description,
                     std::vector<uint8_t>& body, std::string& error);
