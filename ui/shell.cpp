// The shell hand-offs.
#include "shell.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

void shellExecuteOpen(HWND owner, const char* target) {
    ShellExecuteA(owner, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

void siteAddressOf(const char* host, char* address, size_t capacity) {
    // A bare host name opens nothing in the shell; an address with a scheme is kept.
    bool hasScheme = std::strstr(host, "://") != nullptr;
    std::snprintf(address, capacity, "%s%s", hasScheme ? "" : "http://", host);
}
