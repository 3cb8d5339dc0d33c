// The program image as the packer sees it.
#include "program_file.h"

#include <algorithm>
#include <cstring>

#include "host_slot.h"
#include "program_image.h"

int64_t findHostSlot(const std::vector<uint8_t>& image) {
    const auto* marker = reinterpret_cast<const uint8_t*>(kHostSlotMarker);
    auto first = std::search(image.begin(), image.end(), marker, marker + sizeof kHostSlotMarker);
    if (first == image.end() || size_t(image.end() - first) < sizeof(HostSlot)) return -1;
    auto again = std::search(first + 1, image.end(), marker, marker + sizeof kHostSlotMarker);
    if (again != image.end()) return -2;
    return first - image.begin();
}

std::string hostInSlot(const std::vector<uint8_t>& image) {
    int64_t at = findHostSlot(image);
    if (at < 0) return {};
    const char* host = reinterpret_cast<const char*>(image.data() + at + sizeof kHostSlotMarker);
    return std::string(host, strnlen(host, kHostSlotSize - 1));
}

bool setHostInSlot(std::vector<uint8_t>& image, const std::string& host, std::string& error) {
    if (host.size() > kHostSlotSize - 1) {
        error = "the update host is " + std::to_string(host.size()) +
                " bytes, but the program holds at most " + std::to_string(kHostSlotSize - 1);
        return false;
    }
    if (host.find('\0') != std::string::npos || host.empty()) {
        error = "the update host must be a non-empty host name";
        return false;
    }
    int64_t at = findHostSlot(image);
    if (at == -1) {
        error = "the program image has no update-host slot";
        return false;
    }
    if (at == -2) {
        error = "the program image has more than one update-host slot";
        return false;
    }
    uint8_t* slot = image.data() + at + sizeof kHostSlotMarker;
    std::memset(slot, 0, kHostSlotSize);
    std::memcpy(slot, host.data(), host.size());
    return true;
}

bool isSignedImage(const std::vector<uint8_t>& image) {
    return findCertificateTable(image.data(), image.size(), image.size()).has_value();
}
