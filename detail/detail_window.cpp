// The company detail window. Until it is built, command 120 opens nothing.
#include "detail_window.h"

#include "app_state.h"

void createDetailWindow(HINSTANCE, int) {}

LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void closeDetailWindows() {
    HWND window;
    while ((window = FindWindowExA(nullptr, nullptr, settings.detailClassName, nullptr)) != nullptr)
        if (!DestroyWindow(window)) break;
}
