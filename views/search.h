// Keyword search over the category tree.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Searches tree for the keyword in the box with boxId on toolbar (the box keeps a new keyword).
void runSearch(HWND tree, HWND toolbar, int boxId);
// Whether the item was found by the last search; the tree paints such items in a signal colour.
bool isSearchMatch(HTREEITEM item);
void clearSearchMatches();
// Folds text in place, keeps the hits and opens tree to each (runSearch collapses it first).
int findMatches(HWND tree, char* text);
int searchMatchCount();
