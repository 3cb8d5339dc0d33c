// The About dialog: a modal dialog whose two links, painted and measured with the link font,
// both open the update host's site.
#include "about_dialog.h"

#include <cstdio>

#include "app_state.h"
#include "boundary.h"
#include "detail_window.h"
#include "display_scale.h"
#include "gdi.h"
#include "resource.h"
#include "shell.h"
#include "wide_text.h"

RECT aboutLinkRects[2] = {};

namespace {

// The tops of the two link lines at 96 DPI.
constexpr int kDownloadLinkY = 125;
constexpr int kHostLinkY = 155;

// Draws text centred in the client area at y and returns its rectangle.
RECT drawCentredLink(HDC dc, const RECT& client, int y, const char* text) {
    const std::wstring wide = widenGbk(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    int left = (client.right - size.cx - client.left) / 2;
    TextOutW(dc, left, y, wide.c_str(), int(wide.size()));
    return RECT{left, y, left + size.cx, y + size.cy};
}

void onPaint(HWND dialog) {
    PaintDC paint(dialog);
    HDC dc = paint.get();
    SelectedObject font(dc, drawing.linkFont.get());
    RECT client{};
    GetClientRect(dialog, &client);
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    aboutLinkRects[0] = drawCentredLink(dc, client, scaled(kDownloadLinkY), "免费下载");
    // The host has up to 59 bytes: the line is made in a buffer that holds it.
    char hostLine[96];
    std::snprintf(hostLine, sizeof hostLine, "下载网址：%s", settings.updateHost);
    aboutLinkRects[1] = drawCentredLink(dc, client, scaled(kHostLinkY), hostLine);
}

INT_PTR aboutDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPaint(dialog); break;
    case WM_MOUSEMOVE:
        if (pointInLinkRect(lParam, aboutLinkRects[0]) || pointInLinkRect(lParam, aboutLinkRects[1]))
            SetCursor(drawing.handCursor);
        break;
    case WM_LBUTTONDOWN:
        if (pointInLinkRect(lParam, aboutLinkRects[0]) || pointInLinkRect(lParam, aboutLinkRects[1])) {
            // A bare host name opens nothing in the shell: it is given as the site's address.
            char site[80];
            siteAddressOf(settings.updateHost, site, sizeof site);
            shellOpen(dialog, site);
        }
        break;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, 1);
        break;
    default: break;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return atBoundary(INT_PTR(FALSE), [&] { return aboutDialogMessage(dialog, message, wParam, lParam); });
}

void showAboutDialog(HWND owner) {
    DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, aboutDialogProc, 0);
}
