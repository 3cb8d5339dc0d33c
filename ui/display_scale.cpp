// The display scale: the layout DPI, and the DPI functions newer than Windows XP taken at run time.
#include "display_scale.h"

#include <initializer_list>

namespace {

int currentLayoutDpi = kDesignDpi;

using DpiForWindow = UINT(WINAPI*)(HWND);

DpiForWindow systemDpiForWindow() {
    static DpiForWindow found = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        FARPROC address = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(address));
    }();
    return found;
}

} // namespace

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int dpiOfWindow(HWND window) {
    if (DpiForWindow forWindow = systemDpiForWindow(); forWindow && window) {
        UINT dpi = forWindow(window);
        if (dpi > 0) return int(dpi);
    }
    return screenDpi();
}

int layoutDpi() {
    return currentLayoutDpi;
}

void setLayoutDpi(int dpi) {
    currentLayoutDpi = dpi > 0 ? dpi : kDesignDpi;
}

int scaled(int size) {
    return scaledTo(currentLayoutDpi, size);
}

int smallImageSide(int dpi) {
    const int wanted = scaledTo(dpi, 16);
    int best = 16;
    for (int side : {20, 24, 32})
        if (2 * wanted >= best + side) best = side; // past the midpoint: the larger is nearer
    return best;
}

int pictureAtSide(int id, int side) {
    switch (side) {
    case 20: return id + 1000;
    case 24: return id + 2000;
    case 32: return id + 3000;
    default: return id;
    }
}
