// The category tree control: creation, fill, notifications, address path, collapse.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "list_rows.h"

HWND createTree(HINSTANCE instance, HWND parent);
// The program's font, the pictures and the rows' height again, after a change of layout DPI.
void rescaleTree(HWND tree, HIMAGELIST images);
// The tree's items from the tree model, which is built once the data is loaded (buildTreeModel).
void fillTree(HWND tree);
HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, const char* text, int image, int selectedImage);
// A notification of the tree; a new selection fills list and tells its path in the rebar's
// address box and its row count in the status bar.
LRESULT onTreeNotify(const NMHDR* header, HWND list, HWND rebar, HWND statusBar);
void setAddressPath(HWND rebar, HTREEITEM item);
// Closes every node; callers pause the tree's drawing around it, so it is laid out once.
void collapseAll(HWND tree);
// Sets or clears a node's open mark without laying the tree out: for nodes out of sight.
void setExpandedState(HWND tree, HTREEITEM item, bool expanded);
// Makes the company items of a node in tree when they are not there yet.
void makeCompanyItems(HWND tree, int32_t node);
// The hook with which the list's fills have tree make the items of the listings they read.
ListingItemsHook companyItemsHook(HWND tree);

inline constexpr COLORREF kSearchHitColour = RGB(255, 4, 99);
