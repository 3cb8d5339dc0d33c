// The company detail window and its window class's procedure.
#pragma once

#include <windows.h>

// Opens a detail window for currentCompany.
void createDetailWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Closes every open detail window (they read the database, so they go before it is freed).
void closeDetailWindows();
