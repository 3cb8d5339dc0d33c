// Process-wide state of the program, grouped by concern; one instance each, main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi.h"

struct AppWindows {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND rebar = nullptr;
    HWND list = nullptr;
    HWND tree = nullptr;
    HWND statusBar = nullptr;
    HWND searchBox = nullptr;
};

// The pens, fonts and bitmaps are owned here and freed at the end (or when start-up makes them
// again); the cursors are shared ones that need no freeing.
struct DrawingResources {
    COLORREF rowColours[12] = {};
    ScopedPen splitterPen;
    HCURSOR arrowCursor = nullptr;
    HCURSOR splitterCursor = nullptr;
    HCURSOR handCursor = nullptr;
    ScopedFont normalFont;
    ScopedFont linkFont;
    // The system's interface font scaled to a layout DPI other than the screen's (after a move to
    // a monitor of another scale), for the status bar and the rebar's boxes; none until then.
    ScopedFont interfaceFont;
    // The list's font (the system's icon title font) likewise.
    ScopedFont listFont;
    // The rebar's bands hold their background bitmaps without owning them.
    ScopedBitmap bandBackgrounds[3];
};

struct AppSettings {
    char detailClassName[20] = {};
    char versionString[16] = {};
    char updateHost[60] = {};
    // UTF-8, as every path of the program: any path within MAX_PATH units fits.
    char notebookPath[3 * MAX_PATH] = {};
    char searchHistoryPath[3 * MAX_PATH] = {};
    bool onDemandUpdate = false;
};

// Which pane last reported a focus change; the Enter command reads it.
enum FocusedPane : uint8_t { kNoPane = 0, kSearchPane = 1, kListPane = 2, kTreePane = 3, kFocusLost = 5 };

extern AppWindows app;
extern DrawingResources drawing;
extern AppSettings settings;
extern uint8_t focusedPane;

// Hands a target to the shell with the verb "open" (shellExecuteOpen); tests replace it.
extern void (*shellOpen)(HWND owner, const char* target);

inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
