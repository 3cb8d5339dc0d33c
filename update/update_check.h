// The online update check: the update host asked at start-up and on command, over sockets,
// with the reply arriving as the main window's WM_USER messages.
#pragma once

#include <windows.h>

// The check at start-up, on a thread of its own.
void startUpdateThread();
// A check of host; interactive when the user asked for it, and then it says why it failed.
// True when the request is sent and the reply awaited (or, on the start-up thread, the connected
// socket handed to the main thread).
bool checkForUpdates(const char* host, bool interactive);
// A WM_USER message of a check: the socket in wParam, the event in the low word of lParam. A
// reply is answered as its own check was asked: "is the newest" and failures only to the user's.
void onSocketEvent(WPARAM socket, LPARAM event);
// Closes the awaited checks' sockets; the main window calls it when it ends.
void cancelUpdateCheck();
// The download of the newest program file through the shell, then the main window closes.
void startUpdateDownload();

// How long a connect and a reply are waited for before the check gives up.
struct UpdateTimeouts {
    DWORD connectMs = 10000;
    UINT replyMs = 30000;
};
extern UpdateTimeouts updateTimeouts;
// The shell's hand-off of the download address (hidden, as the program was given it); tests
// replace it.
extern void (*openDownload)(HWND owner, const char* url);
// True while a start-up thread runs or a reply is awaited.
bool updateCheckBusy();
