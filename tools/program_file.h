// The program image as the packer sees it: its update-host slot, and whether it is signed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Offset of the one update-host slot in the image; -1 when there is none, -2 when the marker
// occurs more than once.
int64_t findHostSlot(const std::vector<uint8_t>& image);
// The host name in the image's slot; empty when there is no slot.
std::string hostInSlot(const std::vector<uint8_t>& image);
// Fills the slot with host (at most 59 bytes) and zero bytes. False with a reason otherwise.
bool setHostInSlot(std::vector<uint8_t>& image, const std::string& host, std::string& error);
// Whether the image carries an Authenticode certificate table (program_image.h).
bool isSignedImage(const std::vector<uint8_t>& image);
