// Keyword search over the category tree.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Searches for the keyword in the box with boxId on toolbar.
void runSearch(HWND toolbar, int boxId);
// Whether the item was found by the last search; the tree paints such items in a signal colour.
bool isSearchMatch(HTREEITEM item);
void clearSearchMatches();
// Folds text in place, keeps the hits and opens the tree to each (runSearch collapses it first).
int findMatches(char* text);
int searchMatchCount();
