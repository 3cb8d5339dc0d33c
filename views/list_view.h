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
// The widths of the columns shown (the user's own among them) carried to another DPI; the
// column sets are written at 96 DPI and installed scaled to the layout DPI.
void rescaleColumns(HWND list, int fromDpi, int toDpi);
// Installs a column set in place of another (kNone installs nothing).
void installColumnSet(HWND list, ColumnSet set);
// Gives the control the table's rows (it asks for their texts as it shows them); false when it
// refused the count.
bool insertRows(HWND list);
// Takes every row out of the control.
void clearRows(HWND list);
void serveCellText(NMLVDISPINFOA* request);
void serveCellText(NMLVDISPINFOW* request);
void setViewMode(HWND list, DWORD mode);

// The control takes new rows, columns, open nodes or a new order without drawing or laying out
// its scroll bars for each step; it does so once, at the end. Meanwhile the window counts as
// hidden, as the system's own redraw switch makes it, so the steps scroll and paint no pixels
// (some controls' own switch keeps them scrolling and painting their scroll bars).
struct RedrawPause {
    explicit RedrawPause(HWND w);
    ~RedrawPause();
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    HWND window;
    bool wasShown; // a pause inside another, or of a hidden window, leaves the window as it is
};

// Set while the program itself changes the rows or moves their selection, when the control's
// item changes are not the user's highlight.
extern bool rowStatesSettling;
struct SettlingRowStates {
    SettlingRowStates() : was(rowStatesSettling) { rowStatesSettling = true; }
    ~SettlingRowStates() { rowStatesSettling = was; }
    SettlingRowStates(const SettlingRowStates&) = delete;
    SettlingRowStates& operator=(const SettlingRowStates&) = delete;
    bool was;
};
