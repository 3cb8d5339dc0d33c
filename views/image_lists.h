// The two image lists that the tree, the list and the rebar share.
#pragma once

#include <windows.h>

#include <commctrl.h>

extern HIMAGELIST smallImageList; // 16 x 16 at 96 DPI, scaled (display_scale.h)
extern HIMAGELIST largeImageList; // 32 x 32

// Made at the layout DPI.
bool createImageLists();
// The small pictures drawn for dpi, in a new list that the caller owns.
HIMAGELIST makeSmallImageList(int dpi);
// The list view has no LVS_SHAREIMAGELISTS, so it destroys both lists with itself; the handles
// are forgotten then, and the next main window makes the lists anew instead of using dead ones.
void forgetImageLists();
