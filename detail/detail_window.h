// The company detail window: the company's name, its labelled lines with two links, and its
// introduction; any number of them, each for the company current when it was opened.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The detail window's class (settings.detailClassName); its atom.
ATOM registerDetailWindowClass(HINSTANCE instance);
// Opens a detail window for currentCompany; 1 on success, 0 when it cannot be created.
int createDetailWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Closes every open detail window (they read the database, so they go before it is freed).
// The open detail windows sized, laid out and drawn again for the layout DPI, which changed.
void rescaleDetailWindows();
void closeDetailWindows();

// True when the mouse position (lParam of a mouse message, signed 16-bit x and y) lies in the
// rectangle, all four edges included.
bool pointInLinkRect(LPARAM mousePosition, const RECT& rect);

// What the window paints: the name line and the eleven labelled lines.
struct DetailLine {
    std::string text;
    int x, y;
    COLORREF colour;
    bool link;
    // The company's name, drawn with the font the drawing context has, not the program's.
    bool name = false;
};
std::vector<DetailLine> detailLines(HDC dc, int company, const RECT& client);
// The company and the two link rectangles (web, e-mail) of a detail window.
int detailCompany(HWND window);
bool detailLinkRects(HWND window, RECT rects[2]);

inline constexpr int kDetailEditId = 6000;
inline constexpr UINT_PTR kDetailTimerId = 6001;
