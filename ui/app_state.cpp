// The one instance of each process-wide state.
#include "app_state.h"

#include "shell.h"

AppWindows app;
DrawingResources drawing;
AppSettings settings;
uint8_t focusedPane = kNoPane;

void (*shellOpen)(HWND, const char*) = shellExecuteOpen;
