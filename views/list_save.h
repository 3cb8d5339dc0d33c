// The whole list saved as a spreadsheet file (CSV in UTF-8 with a byte-order mark).
#pragma once

#include <windows.h>

#include <cstddef>

// Asks the user where to save: path (UTF-8, as every path of the program) holds the proposed
// name on entry and the chosen path on return; false when the user cancels. The save dialog;
// tests put their own path here.
extern bool (*askExportPath)(HWND owner, char* path, size_t capacity);

// Saves every row of the list, in the order shown, with all its columns and their titles, to a
// file the user chooses, its name proposed from the name of what the list shows (GBK). The file is written
// beside the target under a temporary name and moved over it only once complete, so a failure (told to the
// user) leaves any old file as it was. False when nothing was saved.
bool exportList(HWND list, HWND owner, const char* listName);
