// The rebar across the top: command toolbar, search band, address box; toolbar tooltips.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Made at the layout DPI (display_scale.h).
HWND createRebar(HWND mainWindow);
// Its pictures, bands, boxes and gaps made again for a new layout DPI; the boxes take boxFont.
void rescaleRebar(HWND rebar, HIMAGELIST bandImages, HFONT boxFont);
// TTN_NEEDTEXTA from a toolbar's tooltip: the text of the string whose id is the command.
LRESULT supplyToolTipText(const NMHDR* header);
// The search box's drop-down list from the history file, newest keyword first.
void loadSearchHistory(HWND searchBox, const char* path);
