// The About dialog (dialog 100).
#pragma once

#include <windows.h>

void showAboutDialog(HWND owner);
