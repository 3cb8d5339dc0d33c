// The online update check.
#pragma once

#include <windows.h>

// The check at start-up, on a thread of its own.
void startUpdateThread();
// A check of host; interactive when the user asked for it.
void checkForUpdates(const char* host, bool interactive);
// A socket notification (WM_USER) of the check.
void onSocketEvent(LPARAM event, bool onDemand);
