// Start-up of the program: window classes, process-wide state, the main window, the loop.
#pragma once

#include <windows.h>

#include "container.h"
#include "shell.h"

// The two window classes only; 0 when either cannot be registered.
ATOM registerWindowClasses(HINSTANCE instance);
// Fills programPath (at most capacity bytes with the terminating zero); a path that does not
// fit ends the start-up with a message box and exit status 1.
void readProgramPath(size_t capacity = sizeof programPath);
// The Windows calls behind the platform seam.
void fillPlatformSeam();
// The program's normal and link fonts, "宋体" at 13 pixels scaled to the layout DPI, made anew.
void createFonts();
// Drawing resources, settings and the user files' paths: nothing of them needs the data.
void prepareDataFreeState();
// One after another: the seam, the data and its tree model, the data-free state, and the expiry
// notice.
void prepareApplication();
// The main window hidden, with its panes and rebar but no data; null if it cannot be made.
HWND createMainWindowFrame(HINSTANCE instance);
// Titles and fills the main window from the loaded data, shows it and starts the update check.
void showMainWindow(int showCommand);
// The frame, then shown; 1 on success, 0 otherwise.
int createMainWindow(HINSTANCE instance, int showCommand);
// The program's start-up after its path is read: the data loaded on a second thread while the
// classes, the data-free state and the main window's frame are made, then the expiry notice and
// the window shown; 1 on success, 0 otherwise (with a message box for classes or a main window
// that cannot be made).
int startProgram(HINSTANCE instance, int showCommand);
void initialiseCommonControls();
// Runs until the quit message or an error of getMessage; returns the quit message's code, or 1
// after an error.
int runMessageLoop(BOOL(WINAPI* getMessage)(MSG*, HWND, UINT, UINT) = GetMessageW);
// Released at the main window's WM_DESTROY.
void shutDownApplication();
