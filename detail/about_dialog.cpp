// The About dialog. Until it is built, command 101 shows nothing.
#include "about_dialog.h"

void showAboutDialog(HWND) {}
