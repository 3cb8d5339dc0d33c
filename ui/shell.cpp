// The shell hand-offs.
#include "shell.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "wide_text.h"

void shellExecuteOpen(HWND owner, const char* target) {
    // The address in UTF-16: a catalogue's GBK address means nothing in another code page.
    ShellExecuteW(owner, L"open", widenGbk(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void siteAddressOf(const char* host, char* address, size_t capacity) {
    // A bare host name opens nothing in the shell; an address with a scheme is kept.
    bool hasScheme = std::strstr(host, "://") != nullptr;
    std::snprintf(address, capacity, "%s%s", hasScheme ? "" : "http://", host);
}
