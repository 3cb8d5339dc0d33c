// Registering a window class, with the older call where the newer one is missing.
#pragma once

#include <windows.h>

// RegisterClassExW, or RegisterClassW with the same fields when that fails; the class's atom.
// The program's classes are Unicode: their windows take and give texts as UTF-16, and typed
// characters arrive whole whatever the system's code page.
ATOM registerWindowClass(const WNDCLASSEXW& wc);
// The program's icon, large and small, and the arrow cursor, on a class about to be registered.
void setProgramIcons(WNDCLASSEXW& wc, HINSTANCE instance);
