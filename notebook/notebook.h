// The notebook's window half: the entry dialog (resource 135), the notebook view in the list,
// and deleting one note or all of them.
#pragma once

#include <windows.h>

// Command 118: the dialog, modal to owner; its result (1 when it was closed).
INT_PTR openNotebookDialog(HWND owner);
INT_PTR CALLBACK notebookDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Command 119, and after each deletion: the notebook's entries in the list under its seven
// columns, the address box and the row count. 0 when the file cannot be opened (no rows, a
// count of 0).
int showNotebook(HWND list, HWND rebar, HWND statusBar);
// The same in the main window.
int showNotebook();
// Command 126: deletes the note of the highlighted row; with none highlighted, tells the user.
void deleteNotebookEntry();
// Command 127: deletes the notebook file once the user says yes, then shows the view again.
void deleteAllNotebookEntries();
