// The detail window. Its company and link rectangles are kept in two window properties,
// global memory blocks that the window releases when it is destroyed.
#include "detail_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app_state.h"
#include "boundary.h"
#include "database.h"
#include "display_scale.h"
#include "gdi.h"
#include "list_rows.h"
#include "tree_model.h"
#include "web_link.h"
#include "wide_text.h"
#include "window_class.h"

namespace {

constexpr const char* kCompanyProperty = "PROP_FIRMID";
constexpr const char* kLinkProperty = "PROP_HANDRECT";
constexpr COLORREF kNameColour = RGB(255, 4, 99);
// A line drawn in the colour the drawing context had before the name line.
constexpr COLORREF kColourBefore = CLR_INVALID;

// Where things are in the window (client coordinates; the window itself in the screen's), at
// 96 DPI: scaled to the layout DPI, as the program's fonts are.
constexpr RECT kWindowPlace{100, 100, 100 + 355, 100 + 480};
constexpr RECT kIntroductionPlace{25, 50, 25 + 305, 50 + 200};
constexpr int kNameLineY = 18;
// The labelled lines start one step below kLabelsTop, one step apart.
constexpr int kLabelsTop = 240;
constexpr int kLabelStep = 17;
constexpr int kLabelX = 45;
// The web and e-mail lines' link rectangles: the value after its label, measured with the
// window's own font: their left edge, tops, and how far the right edge falls short of the text.
constexpr int kLinkLeft = 83;
constexpr int kWebLinkTop = 342;
constexpr int kMailLinkTop = 361;
constexpr int kLinkRightInset = 5;
constexpr UINT kTopmostDropMs = 100;

// A property's block, locked for the lifetime of this view.
template <typename T> class PropertyBlock {
  public:
    PropertyBlock(HWND window, const char* name) : memory_(GetPropA(window, name)) {
        data_ = memory_ ? static_cast<T*>(GlobalLock(memory_)) : nullptr;
    }
    ~PropertyBlock() {
        if (data_) GlobalUnlock(memory_);
    }
    PropertyBlock(const PropertyBlock&) = delete;
    PropertyBlock& operator=(const PropertyBlock&) = delete;
    T* get() const { return data_; }

  private:
    HANDLE memory_;
    T* data_;
};

bool attachBlock(HWND window, const char* name, const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory) return false;
    void* locked = GlobalLock(memory);
    std::memcpy(locked, data, size);
    GlobalUnlock(memory);
    if (SetPropA(window, name, memory)) return true;
    GlobalFree(memory);
    return false;
}

void releaseBlock(HWND window, const char* name) {
    if (HANDLE memory = RemovePropA(window, name)) GlobalFree(memory);
}

const CompanyRecord* companyOf(int company) {
    return company >= 0 && company < dataStore.companyCount ? &dataStore.companies[company] : nullptr;
}

SIZE textExtent(HDC dc, const char* text) {
    const std::wstring wide = widenGbk(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    return size;
}

void onPaint(HWND window) {
    PaintDC paint(window);
    HDC dc = paint.get();
    RECT client{};
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    COLORREF before = GetTextColor(dc);
    std::vector<DetailLine> lines = detailLines(dc, detailCompany(window), client);
    // The name is drawn with the context's own font, which is selected back when the paint ends.
    SelectedObject fontBefore(dc, GetCurrentObject(dc, OBJ_FONT));
    for (const DetailLine& line : lines) {
        if (!line.name) SelectObject(dc, line.link ? drawing.linkFont.get() : drawing.normalFont.get());
        SetTextColor(dc, line.colour == kColourBefore ? before : line.colour);
        const std::wstring text = widenGbk(line.text.data(), line.text.size());
        TextOutW(dc, line.x, line.y, text.c_str(), int(text.size()));
    }
    SetTextColor(dc, before);
}

void onMouse(HWND window, UINT message, LPARAM lParam) {
    RECT links[2];
    if (!detailLinkRects(window, links)) return;
    const CompanyRecord* c = companyOf(detailCompany(window));
    if (!c) return;
    // An address the shell is not given (empty, or not an address) shows no hand and opens
    // nothing. Where the rectangles overlap, the web address wins.
    std::string target = pointInLinkRect(lParam, links[0])   ? webLinkTarget(c->website)
                         : pointInLinkRect(lParam, links[1]) ? mailLinkTarget(c->email)
                                                             : std::string();
    if (target.empty()) return;
    if (message == WM_MOUSEMOVE)
        SetCursor(drawing.handCursor);
    else
        shellOpen(window, target.c_str());
}

void onTimer(HWND window, WPARAM timer) {
    if (timer != kDetailTimerId) return;
    RECT r{};
    GetWindowRect(window, &r);
    SetWindowPos(window, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
    KillTimer(window, kDetailTimerId);
}

} // namespace

bool pointInLinkRect(LPARAM mousePosition, const RECT& rect) {
    int x = short(LOWORD(mousePosition)), y = short(HIWORD(mousePosition));
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

int detailCompany(HWND window) {
    PropertyBlock<int32_t> block(window, kCompanyProperty);
    return block.get() ? *block.get() : kNoCompany;
}

bool detailLinkRects(HWND window, RECT rects[2]) {
    PropertyBlock<int32_t> block(window, kLinkProperty);
    if (!block.get()) return false;
    const int32_t* v = block.get();
    rects[0] = RECT{v[0], v[1], v[2], v[3]};
    rects[1] = RECT{v[4], v[5], v[6], v[7]};
    return true;
}

std::vector<DetailLine> detailLines(HDC dc, int company, const RECT& client) {
    std::vector<DetailLine> lines;
    const CompanyRecord* c = companyOf(company);
    if (!c) return lines;
    SIZE name = textExtent(dc, c->name);
    lines.push_back(
        {c->name, (client.right - name.cx - client.left) / 2, scaled(kNameLineY), kNameColour, false, true});
    struct Labelled {
        const char* format;
        const char* field;
        COLORREF colour;
        bool link;
    };
    const COLORREF kBank = RGB(178, 98, 3);
    const Labelled labelled[] = {
        {"地址：%s", c->address, RGB(0, 155, 0), false},   {"邮编：%s", c->postcode, kColourBefore, false},
        {"电话：%s", c->phone, kColourBefore, false},      {"传真：%s", c->fax, kColourBefore, false},
        {"联系：%s", c->contact, kColourBefore, false},    {"网址：%s", c->website, kLinkColour, true},
        {"电邮：%s", c->email, kLinkColour, true},         {"账号：%s", c->account, kBank, false},
        {"税号：%s", c->taxNumber, kBank, false},          {"开户行：%s", c->bank, kBank, false},
        {"公交车：%s", c->busRoutes, RGB(0, 0, 0), false},
    };
    for (int step = 1; const Labelled& line : labelled) {
        char text[100];
        std::snprintf(text, sizeof text, line.format, line.field);
        lines.push_back(
            {text, scaled(kLabelX), scaled(kLabelsTop + kLabelStep * step++), line.colour, line.link});
    }
    return lines;
}

namespace {

// The link rectangles of the web and e-mail values, measured with the window's own font.
void attachLinkRects(HWND window, const CompanyRecord* c) {
    SIZE web{}, mail{};
    {
        WindowDC dc(window);
        web = textExtent(dc.get(), c->website);
        mail = textExtent(dc.get(), c->email);
    }
    const int left = scaled(kLinkLeft), inset = scaled(kLinkRightInset), webTop = scaled(kWebLinkTop),
              mailTop = scaled(kMailLinkTop);
    const int32_t links[8] = {left, webTop,  left + web.cx - inset,  webTop + web.cy,
                              left, mailTop, left + mail.cx - inset, mailTop + mail.cy};
    releaseBlock(window, kLinkProperty);
    attachBlock(window, kLinkProperty, links, sizeof links);
}

// The window's place scaled, moved up and left (and made no higher) so that all of it is on the
// screen's work area, which a scaled window might pass.
RECT placeOnScreen() {
    const RECT& w = kWindowPlace;
    RECT work{0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int left = scaled(w.left), top = scaled(w.top), width = scaled(w.right - w.left),
        height = scaled(w.bottom - w.top);
    if (work.bottom > work.top) {
        height = std::min(height, int(work.bottom - work.top));
        top = std::max(int(work.top), std::min(top, int(work.bottom) - height));
        left = std::max(int(work.left), std::min(left, int(work.right) - width));
    }
    return RECT{left, top, left + width, top + height};
}

void placeIntroduction(HWND window) {
    const RECT& e = kIntroductionPlace;
    HWND edit = GetDlgItem(window, kDetailEditId);
    SetWindowPos(edit, nullptr, scaled(e.left), scaled(e.top), scaled(e.right - e.left),
                 scaled(e.bottom - e.top), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(drawing.normalFont.get()), TRUE);
}

} // namespace

int createDetailWindow(HINSTANCE instance, int showCommand) {
    const int32_t company = currentCompany;
    const CompanyRecord* c = companyOf(company);
    if (!c) return 0;
    const RECT place = placeOnScreen();
    HWND window = CreateWindowExW(
        WS_EX_CLIENTEDGE | WS_EX_TOPMOST, widenGbk(settings.detailClassName).c_str(),
        widenGbk("公司详情").c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, place.left, place.top,
        place.right - place.left, place.bottom - place.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 0;
    HWND edit = CreateWindowExW(WS_EX_TRANSPARENT, L"Edit", nullptr,
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(INT_PTR(kDetailEditId)), instance, nullptr);
    placeIntroduction(window);
    // The whole introduction, however long.
    std::string introduction = std::string("    公司介绍：") + (c->introduction ? c->introduction : "");
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    SetDlgItemTextW(window, kDetailEditId, widenGbk(introduction.data(), introduction.size()).c_str());

    attachBlock(window, kCompanyProperty, &company, sizeof company);
    attachLinkRects(window, c);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetTimer(window, kDetailTimerId, kTopmostDropMs, nullptr);
    return 1;
}

namespace {

LRESULT detailWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPaint(window); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: onMouse(window, message, lParam); break;
    case WM_TIMER: onTimer(window, wParam); break;
    case WM_DPICHANGED: {
        // Alone on a monitor of another scale: it takes the place Windows suggests there.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        releaseBlock(window, kCompanyProperty);
        releaseBlock(window, kLinkProperty);
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return atBoundary(LRESULT(0), [&] { return detailWindowMessage(window, message, wParam, lParam); });
}

ATOM registerDetailWindowClass(HINSTANCE instance) {
    std::snprintf(settings.detailClassName, sizeof settings.detailClassName, "%s", "DetailClass");
    const std::wstring className = widenGbk(settings.detailClassName);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = detailWindowProc;
    wc.hInstance = instance;
    setProgramIcons(wc, instance);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className.c_str();
    return registerWindowClass(wc);
}

namespace {

BOOL CALLBACK collectDetailWindow(HWND window, LPARAM list) {
    return atBoundary(FALSE, [&] {
        char className[sizeof settings.detailClassName] = {};
        if (GetClassNameA(window, className, int(sizeof className)) > 0 &&
            std::strcmp(className, settings.detailClassName) == 0)
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    });
}

} // namespace

void rescaleDetailWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collectDetailWindow, reinterpret_cast<LPARAM>(&windows));
    const RECT place = placeOnScreen();
    for (HWND window : windows) {
        SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        placeIntroduction(window);
        if (const CompanyRecord* c = companyOf(detailCompany(window))) attachLinkRects(window, c);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void closeDetailWindows() {
    // The detail windows are made on this thread; another running copy's are not ours to close.
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collectDetailWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        DestroyWindow(window);
}
