// Start-up of the program: window classes, process-wide state, the main window, the loop.
#pragma once

#include <windows.h>

#include "container.h"
#include "shell.h"

// The two window classes only.
ATOM registerWindowClasses(HINSTANCE instance);
// Both classes, then initialiseApplication; the result of the detail window's class.
ATOM registerClasses(HINSTANCE instance);
void initialiseApplication();
// Fills programPath (at most capacity bytes with the terminating zero); a path that does not
// fit ends the start-up with a message box and exit status 1.
void readProgramPath(size_t capacity = sizeof programPath);
// Everything of initialiseApplication after the program path: the data, drawing resources,
// settings, paths, and the expiry notice.
void prepareApplication();
// The main window with its panes and rebar, shown; 1 on success, 0 otherwise.
int createMainWindow(HINSTANCE instance, int showCommand);
void initialiseCommonControls();
// Runs until the quit message (or an error of GetMessageA); returns the exit code.
int runMessageLoop();
// Released at the main window's WM_DESTROY.
void shutDownApplication();
