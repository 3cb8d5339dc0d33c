// Web addresses made into links the shell opens as such.
#include "web_link.h"

#include <cstring>

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeCharacter(char c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// "scheme://" (RFC 3986's scheme: a letter, then letters, digits, "+", "-" or "."), or
// "mailto:" in any case. A host with a port ("www.example.com:8080") has no scheme.
bool hasScheme(const char* address) {
    if (!isAsciiLetter(address[0])) return false;
    size_t n = 1;
    while (isSchemeCharacter(address[n]))
        ++n;
    if (address[n] != ':') return false;
    if (std::strncmp(address + n, "://", 3) == 0) return true;
    const char* mailto = "mailto";
    if (n != std::strlen(mailto)) return false;
    for (size_t i = 0; i < n; ++i)
        if ((address[i] | 0x20) != mailto[i]) return false;
    return true;
}

} // namespace

std::string webLinkTarget(const char* address) {
    if (address[0] == '\0' || hasScheme(address)) return address;
    return std::string("http://") + address;
}
