// Window classes of the program.
#include "window_class.h"

#include "resource.h"

ATOM registerWindowClass(const WNDCLASSEXW& wc) {
    ATOM atom = RegisterClassExW(&wc);
    if (atom) return atom;
    WNDCLASSW plain{wc.style, wc.lpfnWndProc, wc.cbClsExtra,    wc.cbWndExtra,   wc.hInstance,
                    wc.hIcon, wc.hCursor,     wc.hbrBackground, wc.lpszMenuName, wc.lpszClassName};
    return RegisterClassW(&plain);
}

void setProgramIcons(WNDCLASSEXW& wc, HINSTANCE instance) {
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
}
