// The main window: its procedure, the pane layout, the splitter and the list's context menus.
#pragma once

#include <windows.h>

#include "list_rows.h"

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The tree, the list of the whole catalogue and the status bar's texts, from the loaded data.
void fillPanes();
// Places rebar, status bar, tree and list; splitterX 0 asks for the default split.
void layoutPanes(int splitterX);
bool isOnSplitter(LPARAM mousePosition);
// Everything the layout DPI sizes made again for dpi (a move to a monitor of another scale):
// fonts, pictures, rebar, tree rows, column widths and the open detail windows; the main window
// then takes the suggested rectangle, when there is one.
void rescaleForDpi(int dpi, const RECT* suggested);
// Draws the splitter's drag line at x with XOR (twice at one x removes it).
void toggleSplitterLine(int x);
bool showListContextMenu(HWND clicked, LPARAM screenPoint);
// The resource of the context menu that the list's current kind shows.
int contextMenuForListKind(ListKind listKind);
// Sets the radio mark among the view commands 200..203 from the list's view style.
void updateViewChecks(HWND list, HMENU menu);

extern int lastSplitterX;
