// The command dispatcher: every WM_COMMAND of the main window.
#pragma once

#include <windows.h>

void dispatchCommand(WPARAM wParam, LPARAM lParam);
