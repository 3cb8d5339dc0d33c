// The status bar of three parts, their edges fixed from the window's width at creation.
#include "status_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "build_settings.h"
#include "database.h"
#include "display_scale.h"
#include "resource.h"
#include "wide_text.h"

HWND createStatusBar(HWND parent, int id, HINSTANCE instance, int partCount) {
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER | SBARS_SIZEGRIP | CCS_BOTTOM, "",
                                   parent, UINT(id));
    RECT client{}, window{};
    GetClientRect(parent, &client);
    GetWindowRect(parent, &window);
    // Thirds of the window's width, or of the width it has at 96 DPI scaled where the screen made
    // it narrower, so each part holds its text at any scale.
    const int designWidth = scaled(750) - int(window.right - window.left - client.right);
    std::vector<int> edges(size_t(partCount > 0 ? partCount : 1));
    int edge = std::max(int(client.right), designWidth) / 3;
    for (int& e : edges) {
        e = edge;
        edge *= 2;
    }
    SendMessageA(bar, SB_SETPARTS, WPARAM(partCount), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageA(bar, SB_SETICON, 2,
                 reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_ROWCOUNT))));
    setStatusText(bar, 0, KOVANTA_MAKER_LINE);
    return bar;
}

void showDataSet(HWND statusBar) {
    char text[80];
    std::snprintf(text, sizeof text, "当前信息：%s-%s 信息", dataStore.titlePart1, dataStore.titlePart2);
    setStatusText(statusBar, 1, text);
}

void setStatusText(HWND statusBar, int part, const char* text) {
    SendMessageW(statusBar, SB_SETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(widenGbk(text).c_str()));
}

void showRowCount(HWND statusBar, int rowCount) {
    char text[80];
    std::snprintf(text, sizeof text, "共有： %d 条信息", rowCount);
    setStatusText(statusBar, 2, text);
}
