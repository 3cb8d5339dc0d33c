// The display scale. Every size of the layout is written as a size at 96 DPI and scaled here to
// the DPI the program lays its windows out at: the main window's, which a move to a monitor of
// another scale changes (WM_DPICHANGED). At 96 DPI every size is exactly as written.
#pragma once

#include <windows.h>

inline constexpr int kDesignDpi = 96;

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0 // Windows 8.1 on; older headers lack it
#endif

// The DPI of window: GetDpiForWindow where Windows has it (10, version 1607 on), looked up at
// run time; else the screen's.
int dpiOfWindow(HWND window);
// The screen's LOGPIXELSY: the system DPI, which Windows before 10 gives a DPI-aware program.
int screenDpi();

// The DPI the program's layout, fonts and images are made for.
int layoutDpi();
void setLayoutDpi(int dpi);

// A size at 96 DPI scaled to the layout DPI, or to dpi.
inline int scaledTo(int dpi, int size) {
    return MulDiv(size, dpi, kDesignDpi);
}
int scaled(int size);

// The side of the small pictures (tree, list, rebar, toolbars) drawn for dpi: 16, 20, 24 or 32,
// whichever is nearest to 16 scaled, so a picture is never stretched by more than a little.
int smallImageSide(int dpi);
// The resource of picture id drawn at side pixels: the 16-pixel pictures keep their ids, the
// larger ones follow at id + 1000 (20), + 2000 (24) and + 3000 (32).
int pictureAtSide(int id, int side);
