// The notebook's commands. Until the notebook is built they do nothing.
#include "notebook.h"

void openNotebookDialog(HWND) {}
void showNotebook() {}
void deleteNotebookEntry() {}
void deleteAllNotebookEntries() {}
