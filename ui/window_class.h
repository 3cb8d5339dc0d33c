// Registering a window class, with the older call where the newer one is missing.
#pragma once

#include <windows.h>

// RegisterClassExA, or RegisterClassA with the same fields when that fails; the class's atom.
ATOM registerWindowClass(const WNDCLASSEXA& wc);
// The program's icon, large and small, and the arrow cursor, on a class about to be registered.
void setProgramIcons(WNDCLASSEXA& wc, HINSTANCE instance);
