// The two image lists that the tree, the list and the rebar share.
#pragma once

#include <windows.h>

#include <commctrl.h>

extern HIMAGELIST smallImageList; // 16 x 16
extern HIMAGELIST largeImageList; // 32 x 32

bool createImageLists();
