// The catalogue's addresses made into links the shell opens as such.
#include "web_link.h"

#include <string_view>

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSchemeCharacter(char c) {
    return isAsciiLetter(c) || isDigit(c) || c == '+' || c == '-' || c == '.';
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((isAsciiLetter(text[i]) ? char(text[i] | 0x20) : text[i]) != lowerCase[i]) return false;
    return true;
}

// The address without the blanks around it; empty when it holds a byte no address has. A quote
// would end the quoted argument the shell gives the browser or mail program, the rest becoming
// arguments of its own. GBK's trailing bytes are never below 0x40, so a Chinese text passes.
std::string_view cleanAddress(const char* address) {
    std::string_view text(address);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '"') return {};
    return text;
}

// The scheme before the first ":" (RFC 3986: a letter, then letters, digits, "+", "-" or ".");
// empty when there is none. Digits after the colon up to the end, "/", "?" or "#" are a port,
// not a scheme's text: "www.example.com:8080/a" has no scheme.
std::string_view schemeOf(std::string_view address) {
    if (address.empty() || !isAsciiLetter(address[0])) return {};
    size_t n = 1;
    while (n < address.size() && isSchemeCharacter(address[n]))
        ++n;
    if (n >= address.size() || address[n] != ':') return {};
    size_t end = n + 1;
    while (end < address.size() && isDigit(address[end]))
        ++end;
    bool port = end > n + 1 && (end == address.size() ||
                                std::string_view("/?#").find(address[end]) != std::string_view::npos);
    return port ? std::string_view() : address.substr(0, n);
}

} // namespace

// Another scheme is refused rather than given "http://": "http://file://…" or
// "http://search-ms:…" names no site, and a browser would look up a host called "file" or
// "search-ms" on the local network.
std::string webLinkTarget(const char* address) {
    std::string_view text = cleanAddress(address);
    if (text.empty()) return {};
    std::string_view scheme = schemeOf(text);
    if (scheme.empty()) return "http://" + std::string(text);
    if (equalsIgnoringCase(scheme, "http") || equalsIgnoringCase(scheme, "https") ||
        equalsIgnoringCase(scheme, "ftp"))
        return std::string(text);
    return {};
}

std::string mailLinkTarget(const char* address) {
    std::string_view text = cleanAddress(address);
    if (text.empty()) return {};
    if (equalsIgnoringCase(schemeOf(text), "mailto")) return std::string(text);
    return "mailto:" + std::string(text);
}
