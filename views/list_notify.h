// The list's behaviour: notifications, column sort, band colours, link cells.
#pragma once

#include <windows.h>

#include <commctrl.h>

// A notification of the list; a double-clicked row opens its item in tree.
LRESULT listNotify(const NMHDR* header, HWND tree);
LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
// Sorts the rows by column; the highlight and the selection stay on the same rows.
void sortRows(HWND list, int column, bool ascending);
// The one row that Enter, the keyboard's context menu and the single-row commands act on: the
// focused row when it is highlighted (selected), else the first highlighted row; -1 none.
int highlightedRow(HWND list);
// Selects the tree item of the list's row in tree (a row of a product or notebook list: none).
void openRowInTree(HWND tree, int row);
// The link font is not selected into any drawing context at start-up.
void clearLinkFontSelection();
// The link cell under a point of the list (client coordinates): 6 web, 7 e-mail, -1 none;
// row is set for a link cell.
int linkCellAt(HWND list, int x, int y, int* row);

extern WNDPROC previousListProc;
