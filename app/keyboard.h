// The keys the main window's panes share, taken from the queue before the accelerators.
#pragma once

#include <windows.h>

// Tab and F6 (with Shift: backwards) move the focus search box -> tree -> list and round;
// Ctrl+C and Ctrl+A in the list copy and highlight its rows. True when the key was used here,
// so the loop neither translates nor dispatches it.
bool handlePaneKey(const MSG& message);
// The focus into the search box with its text selected (Ctrl+F, and Tab into it).
void focusSearchBox();
