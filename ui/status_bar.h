// The status bar: maker line, the data set shown, the list's row count.
#pragma once

#include <windows.h>

// The bar across the bottom of parent, with the maker line; it needs no data.
HWND createStatusBar(HWND parent, int id, HINSTANCE instance, int partCount);
// The loaded data set's name, in the middle part.
void showDataSet(HWND statusBar);
void setStatusText(HWND statusBar, int part, const char* text);
void showRowCount(HWND statusBar, int rowCount);
