// The status bar: maker line, the data set shown, the list's row count.
#pragma once

#include <windows.h>

HWND createStatusBar(HWND parent, int id, HINSTANCE instance, int partCount);
void setStatusText(HWND statusBar, int part, const char* text);
void showRowCount();
