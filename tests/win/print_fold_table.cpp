// Prints every double-byte GBK code that CharLowerA changes in code page 936, with what it gives:
// the table behind the search's fold. Run under Wine with LC_ALL=zh_CN.UTF-8.
#include <windows.h>

#include <cstdio>

int main() {
    if (GetACP() != 936) {
        std::fprintf(stderr, "code page %u, not 936: set LC_ALL=zh_CN.UTF-8\n", GetACP());
        return 1;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            char buffer[3] = {char(lead), char(trail), 0}; // exactly one character
            CharLowerA(buffer);
            auto first = static_cast<unsigned char>(buffer[0]),
                 second = static_cast<unsigned char>(buffer[1]);
            if (first == lead && second == trail) continue;
            // A small form outside GBK comes back as "?" followed by the old second byte.
            std::printf("%02X%02X %02X%02X%s\n", lead, trail, first, second,
                        first == '?' ? " (no GBK small form)" : "");
        }
    return 0;
}
