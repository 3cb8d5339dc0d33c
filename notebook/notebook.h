// The notebook: the entry dialog, the notebook view in the list, deletion.
#pragma once

#include <windows.h>

void openNotebookDialog(HWND owner);
void showNotebook();
void deleteNotebookEntry();
void deleteAllNotebookEntries();
