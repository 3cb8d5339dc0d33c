// The main window procedure: panes made at WM_CREATE, notifications and commands routed to
// their owners, the layout, the splitter drag, context menus and view marks.
#include "main_window.h"

#include <commctrl.h>

#include "app_state.h"
#include "boundary.h"
#include "commands.h"
#include "detail_window.h"
#include "display_scale.h"
#include "gdi.h"
#include "image_lists.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_view.h"
#include "rebar.h"
#include "resource.h"
#include "startup.h"
#include "status_bar.h"
#include "tree_view.h"
#include "update_check.h"

int lastSplitterX = 0;

namespace {

int mouseX(LPARAM lParam) {
    return int(unsigned(LOWORD(lParam)));
}
int mouseY(LPARAM lParam) {
    return int(unsigned(HIWORD(lParam)));
}

// During a drag the pointer may leave the client area, left of it as a negative x: the split
// stays inside the window (0 still asks for the default split).
int splitX(LPARAM lParam) {
    RECT client{};
    GetClientRect(app.mainWindow, &client);
    int x = short(LOWORD(lParam));
    return x < 0 ? 0 : (x > client.right ? int(client.right) : x);
}

int rebarBottom() {
    RECT r{};
    GetClientRect(GetDlgItem(app.mainWindow, IDC_REBAR), &r);
    return r.bottom;
}

// The panes need no data: they are made while the data may still be loading.
void onCreate(HWND window) {
    app.mainWindow = window;
    createImageLists();
    app.list = createList(window);
    app.tree = createTree(app.instance, window);
    prepareListingItems = companyItemsHook(app.tree);
    app.statusBar = createStatusBar(window, IDC_STATUSBAR, app.instance, 3);
}

LRESULT onNotify(const NMHDR* header) {
    switch (header->idFrom) {
    case IDC_LIST: return listNotify(header, app.tree);
    case IDC_TREE: return onTreeNotify(header, app.list, app.rebar, app.statusBar);
    default: return supplyToolTipText(header);
    }
}

} // namespace

void fillPanes() {
    fillTree(app.tree);
    fillNodeList(app.list, -1);
    showDataSet(app.statusBar);
    showRowCount(app.statusBar, listState.rowCount);
}

void layoutPanes(int splitterX) {
    RECT client{};
    GetClientRect(app.mainWindow, &client);
    const int width = client.right, height = client.bottom;
    MoveWindow(GetDlgItem(app.mainWindow, IDC_REBAR), 0, 0, width, height, TRUE);
    const int rebar = rebarBottom();
    RECT status{};
    GetClientRect(app.statusBar, &status);
    const int statusHeight = status.bottom;
    MoveWindow(app.statusBar, 0, height - statusHeight, width, statusHeight, TRUE);
    // The panes' gaps and overlaps are sizes at 96 DPI, scaled like the rest of the layout.
    const int split = splitterX == 0 ? width / 3 + scaled(3) : splitterX;
    MoveWindow(app.tree, -scaled(1), rebar + scaled(6), split - scaled(2),
               height - rebar - statusHeight - scaled(3), TRUE);
    MoveWindow(app.list, split - scaled(1), rebar + scaled(6), width - split + scaled(3),
               height - rebar - statusHeight - scaled(4), TRUE);
    // The whole window is drawn again, parent first: the panes' own repaints alone left the parts
    // that moved into newly uncovered area blank (the status bar after maximizing).
    RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool isOnSplitter(LPARAM mousePosition) {
    return mouseY(mousePosition) >= rebarBottom() + scaled(6);
}

void toggleSplitterLine(int x) {
    WindowDC windowDc(app.mainWindow);
    HDC dc = windowDc.get();
    SetROP2(dc, R2_XORPEN);
    SelectedObject pen(dc, drawing.splitterPen.get());
    RECT client{}, status{};
    GetClientRect(app.mainWindow, &client);
    GetWindowRect(app.statusBar, &status);
    const int top = rebarBottom() + scaled(4), bottom = client.bottom - (status.bottom - status.top);
    MoveToEx(dc, x - 1, top, nullptr);
    LineTo(dc, x - 1, bottom);
    MoveToEx(dc, x + 1, top, nullptr);
    LineTo(dc, x + 1, bottom);
    lastSplitterX = x;
}

void rescaleForDpi(int dpi, const RECT* suggested) {
    const int before = layoutDpi();
    setLayoutDpi(dpi);
    createFonts();
    // New pictures everywhere first; the old list goes once nothing shows it.
    HIMAGELIST images = makeSmallImageList(dpi);
    HIMAGELIST old = smallImageList;
    smallImageList = images;
    rescaleTree(app.tree, images);
    SendMessageA(app.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    // The status bar and the rebar's boxes draw with the system's font, made for the screen's DPI.
    LOGFONTW guiFont{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont);
    guiFont.lfHeight = MulDiv(guiFont.lfHeight, dpi, screenDpi());
    drawing.interfaceFont.reset(CreateFontIndirectW(&guiFont));
    SendMessageA(app.statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.interfaceFont.get()), TRUE);
    int edges[3] = {};
    int parts = int(SendMessageA(app.statusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
    for (int& edge : edges)
        if (edge > 0) edge = MulDiv(edge, dpi, before); // -1 reaches the right edge at every scale
    SendMessageA(app.statusBar, SB_SETPARTS, WPARAM(parts), reinterpret_cast<LPARAM>(edges));
    SendMessageA(app.statusBar, WM_SIZE, 0, 0);
    rescaleRebar(app.rebar, images, drawing.interfaceFont.get());
    // The list's rows are as high as its font, the system's icon title font.
    LOGFONTW listFont{};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof listFont, &listFont, 0);
    listFont.lfHeight = MulDiv(listFont.lfHeight, dpi, screenDpi());
    drawing.listFont.reset(CreateFontIndirectW(&listFont));
    SendMessageA(app.list, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.listFont.get()), TRUE);
    if (old) ImageList_Destroy(old);
    rescaleColumns(app.list, before, dpi);
    rescaleDetailWindows();
    if (suggested)
        SetWindowPos(app.mainWindow, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    layoutPanes(0);
}

int contextMenuForListKind(ListKind listKind) {
    switch (listKind) {
    case kCompanyGroups:
    case kCompanies: return IDR_COMPANYMENU;
    case kNotebook: return IDR_NOTEBOOKMENU;
    default: return IDR_LISTMENU;
    }
}

bool showListContextMenu(HWND clicked, LPARAM screenPoint) {
    if (!clicked || clicked != GetDlgItem(app.mainWindow, IDC_LIST)) return false;
    HMENU loaded = LoadMenuA(app.instance, MAKEINTRESOURCEA(contextMenuForListKind(listState.listKind)));
    if (!loaded) return false;
    HMENU popup = GetSubMenu(loaded, 0);
    updateViewChecks(clicked, popup);
    int x = short(LOWORD(screenPoint)), y = short(HIWORD(screenPoint));
    if (screenPoint == -1) { // from the keyboard: at the row its commands act on, or the corner
        POINT at{0, 0};
        RECT row{};
        row.left = LVIR_BOUNDS;
        int target = highlightedRow(clicked);
        if (target >= 0 && SendMessageA(clicked, LVM_GETITEMRECT, WPARAM(target), LPARAM(&row)))
            at = POINT{row.left + 8, row.bottom};
        ClientToScreen(clicked, &at);
        x = at.x;
        y = at.y;
    }
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, x, y, 0, app.mainWindow, nullptr);
    DestroyMenu(loaded);
    return true;
}

void updateViewChecks(HWND list, HMENU menu) {
    for (UINT command = IDM_VIEW_ICON; command <= IDM_VIEW_REPORT; ++command)
        CheckMenuItem(menu, command, MF_BYCOMMAND | MF_UNCHECKED);
    static constexpr UINT kMarkedByViewType[4] = {IDM_VIEW_ICON, IDM_VIEW_REPORT, IDM_VIEW_SMALLICON,
                                                  IDM_VIEW_LIST};
    LONG style = GetWindowLongA(list, GWL_STYLE);
    CheckMenuRadioItem(menu, IDM_VIEW_ICON, IDM_VIEW_REPORT, kMarkedByViewType[style & 3], MF_BYCOMMAND);
}

namespace {

LRESULT mainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: onCreate(window); break;
    case WM_DESTROY: shutDownApplication(); break;
    case WM_SIZE: layoutPanes(0); break;
    case WM_DPICHANGED: {
        // The DPI of the monitor the window moved to, and where Windows would have it.
        rescaleForDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_LIST || header->idFrom == IDC_TREE) return onNotify(header);
        onNotify(header);
        break;
    }
    case WM_CONTEXTMENU:
        if (showListContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
        break;
    case WM_COMMAND: dispatchCommand(wParam, lParam); break;
    case WM_INITMENUPOPUP: updateViewChecks(app.list, GetMenu(window)); break;
    case WM_MOUSEMOVE:
        if (isOnSplitter(lParam)) {
            if (wParam == MK_LBUTTON) {
                toggleSplitterLine(lastSplitterX);
                toggleSplitterLine(splitX(lParam));
            } else {
                SetCursor(drawing.splitterCursor);
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (isOnSplitter(lParam)) {
            SetCursor(drawing.splitterCursor);
            SetCapture(window);
            toggleSplitterLine(mouseX(lParam));
        }
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        toggleSplitterLine(lastSplitterX);
        layoutPanes(splitX(lParam));
        SetCursor(drawing.arrowCursor);
        break;
    case WM_USER: onSocketEvent(wParam, lParam); break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return atBoundary(LRESULT(0), [&] { return mainWindowMessage(window, message, wParam, lParam); });
}
