// The list's rows handed on: its titles and cells read back, the highlighted rows copied to the
// clipboard, every row highlighted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The titles of the columns the list shows, left to right.
std::vector<std::string> listTitles(HWND list);
// The cells of a row of the table, one for each of columnCount columns.
std::vector<std::string> listRowCells(int row, size_t columnCount);

// Puts the highlighted rows (none highlighted: nothing) on the clipboard under a line of column
// titles, as a "HTML Format" table of text cells, as CF_UNICODETEXT and as CF_TEXT in GBK; false
// when the clipboard could not be had within about 100 ms (the user is told).
bool copyListRows(HWND list, HWND owner);
// Highlights every row.
void selectAllRows(HWND list);
