// The About dialog (dialog 100) with its two painted links to the update host's site.
#pragma once

#include <windows.h>

void showAboutDialog(HWND owner);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The two link rectangles of the last paint: "免费下载", then the host line.
extern RECT aboutLinkRects[2];
