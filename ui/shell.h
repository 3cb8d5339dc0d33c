// Hand-offs to the shell: addresses and files opened with the verb "open".
#pragma once

#include <windows.h>

#include <cstddef>

// ShellExecuteW with "open" and the GBK target in UTF-16, shown normally: what shellOpen does
// unless a test replaces it.
void shellExecuteOpen(HWND owner, const char* target);
// The address the shell is given for the update host's site.
void siteAddressOf(const char* host, char* address, size_t capacity);
