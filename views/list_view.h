// The list view control: creation, column sets, rows put into the control, cell texts.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "list_rows.h"

// The list control; the list's state starts anew with it.
HWND createList(HWND parent);
void fillNodeList(HWND list, int node);
void fillProductList(HWND list, HTREEITEM item);
void insertColumn(HWND list, const char* title, int width, int position, int alignment);
void removeColumns(HWND list);
// Installs a column set in place of another (kNone installs nothing).
void installColumnSet(HWND list, ColumnSet set);
// Puts the table's rows into the control; false when an insertion failed.
bool insertRows(HWND list);
void serveCellText(NMLVDISPINFOA* request);
void setViewMode(HWND list, DWORD mode);
