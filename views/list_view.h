// The list view control: creation, column sets, rows put into the control, cell texts.
#pragma once

#include <windows.h>

#include <commctrl.h>

HWND createList(HWND parent);
void fillNodeList(HWND list, int node);
void fillProductList(HWND list, HTREEITEM item);
void insertColumn(HWND list, const char* title, int width, int position, int alignment);
void removeColumns(HWND list);
// Installs the set of the given number of columns (2, 13, 9, or the notebook's 7) when
// another is installed.
void installColumnSet(HWND list, int columnCount);
// Puts the table's rows into the control; false when an insertion failed.
bool insertRows(HWND list);
void serveCellText(NMLVDISPINFOA* request);
void setViewMode(HWND list, DWORD mode);

extern int installedColumns;
