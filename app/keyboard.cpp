// Moving between the panes with the keyboard, and the list's copy and highlight keys. The main
// window is no dialog, so the loop gives these keys their dialog-like meaning itself; Enter and
// Esc stay with the accelerators.
#include "keyboard.h"

#include <commctrl.h>

#include "app_state.h"
#include "resource.h"

namespace {

constexpr int kPaneCount = 3;

HWND paneWindow(int pane) {
    switch (pane) {
    case 0: return app.searchBox;
    case 1: return app.tree;
    default: return app.list;
    }
}

// The pane that holds a window (the search box's edit field is a child of the combo box).
int paneOf(HWND window) {
    for (int pane = 0; pane < kPaneCount; ++pane) {
        HWND candidate = paneWindow(pane);
        if (candidate && window && (window == candidate || IsChild(candidate, window))) return pane;
    }
    return -1;
}

// Keys that have been used from the keyboard show where the focus is from now on.
void showFocusRectangles() {
    SendMessageA(app.mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void focusList() {
    SetFocus(app.list);
    // With no focused row there would be no rectangle to show where the arrow keys start. It
    // highlights nothing, so the current company stays.
    if (SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED) < 0 &&
        SendMessageA(app.list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        LVITEMA state{};
        state.stateMask = LVIS_FOCUSED;
        state.state = LVIS_FOCUSED;
        SendMessageA(app.list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    }
}

void movePaneFocus(bool backwards) {
    int at = paneOf(GetFocus());
    int next =
        at < 0 ? (backwards ? kPaneCount - 1 : 0) : (at + (backwards ? kPaneCount - 1 : 1)) % kPaneCount;
    switch (next) {
    case 0: focusSearchBox(); break;
    case 1: SetFocus(app.tree); break;
    default: focusList(); break;
    }
    showFocusRectangles();
}

bool keyDown(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

void focusSearchBox() {
    if (!app.searchBox) return;
    SetFocus(app.searchBox);
    SendMessageA(app.searchBox, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

bool handlePaneKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || !app.mainWindow ||
        (message.hwnd != app.mainWindow && !IsChild(app.mainWindow, message.hwnd)))
        return false;
    const bool control = keyDown(VK_CONTROL), alt = keyDown(VK_MENU);
    if ((message.wParam == VK_TAB || message.wParam == VK_F6) && !control && !alt) {
        movePaneFocus(keyDown(VK_SHIFT));
        return true;
    }
    if (message.hwnd != app.list || !control || alt) return false;
    if (message.wParam == 'C') {
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_COPY_ROWS, 0);
        return true;
    }
    if (message.wParam == 'A') {
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_SELECT_ALL_ROWS, 0);
        return true;
    }
    return false;
}
