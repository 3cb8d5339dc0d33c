// The status bar: maker line, the data set shown, the list's row count.
#pragma once

#include <windows.h>

// The bar across the bottom of parent, telling the data set and rowCount.
HWND createStatusBar(HWND parent, int id, HINSTANCE instance, int partCount, int rowCount);
void setStatusText(HWND statusBar, int part, const char* text);
void showRowCount(HWND statusBar, int rowCount);
