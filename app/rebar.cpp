// The rebar with its three bands: the command toolbar, the search toolbar with the search
// box, and on a second row the address box.
#include "rebar.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "app_state.h"
#include "display_scale.h"
#include "image_lists.h"
#include "resource.h"
#include "search_history.h"
#include "wide_text.h"

namespace {

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE;

// The sizes of the bands at 96 DPI: the smallest width of each band's child, and its width.
constexpr UINT kCommandsMinWidth = 200, kCommandsWidth = 250;
constexpr UINT kSearchMinWidth = 400, kSearchWidth = 100;
constexpr UINT kAddressMinWidth = 250, kAddressWidth = 100;
constexpr int kSearchBoxWidth = 200, kAddressBoxWidth = 300, kExitGap = 25;
// A toolbar button: what comctl32 makes round a 16-pixel picture.
constexpr int kButtonWidth = 23, kButtonHeight = 22;

// The side of the toolbars' pictures now shown, so a change of scale knows which to replace.
int toolbarSide = 16;

TBBUTTON separator(int width = 0) {
    TBBUTTON b{};
    b.iBitmap = width;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = TBSTYLE_SEP;
    return b;
}

TBBUTTON button(int image, int command) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = TBSTYLE_BUTTON;
    return b;
}

// background: the band's bitmap, which the rebar uses but does not free.
void insertBand(HWND rebar, UINT style, const char* text, int image, HWND child, UINT minWidth,
                UINT minHeight, UINT width, UINT id, ScopedBitmap& background) {
    background.reset(LoadBitmapA(app.instance, MAKEINTRESOURCEA(IDB_BAND_BACKGROUND)));
    std::wstring label = widenGbk(text);
    REBARBANDINFOW band{};
    // The newest headers' band is larger than Windows XP's comctl32 6 takes: it refuses every
    // band whose size it does not know. Nothing past cxHeader is set here.
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_IMAGE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE |
                 RBBIM_BACKGROUND | RBBIM_ID;
    band.fStyle = style;
    band.lpText = label.data();
    band.iImage = image;
    band.hwndChild = child;
    band.cxMinChild = minWidth;
    band.cyMinChild = minHeight;
    band.cx = width;
    band.hbmBack = background.get();
    band.wID = id;
    SendMessageW(rebar, RB_INSERTBANDW, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
}

UINT windowHeight(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return UINT(r.bottom - r.top);
}

HWND createComboBox(HWND parent, DWORD style, int width, int id) {
    // A Unicode combo box: its texts and what the user types are UTF-16, whatever the system's
    // code page.
    HWND box = CreateWindowExW(0, L"combobox", nullptr, style, 0, 0, width, 100, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), app.instance, nullptr);
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return box;
}

} // namespace

HWND createRebar(HWND mainWindow) {
    constexpr UINT kBandStyle = RBBS_CHILDEDGE | RBBS_FIXEDBMP | RBBS_GRIPPERALWAYS;
    HWND rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER |
                                     RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                 0, 0, 500, 100, mainWindow, reinterpret_cast<HMENU>(INT_PTR(IDC_REBAR)),
                                 app.instance, nullptr);
    if (!rebar) return nullptr;
    REBARINFO info{};
    info.cbSize = sizeof info;
    info.fMask = RBIM_IMAGELIST;
    info.himl = smallImageList;
    SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    const TBBUTTON commandButtons[] = {
        separator(),           button(0, IDM_NOTE_WRITE), button(1, IDM_NOTE_VIEW),
        separator(),           button(2, IDM_COLLAPSE),   separator(),
        button(3, IDM_UPDATE), button(4, IDM_DETAILS),    separator(scaled(kExitGap)),
        button(5, IDM_EXIT),
    };
    toolbarSide = smallImageSide(layoutDpi());
    const UINT strip = UINT(pictureAtSide(IDB_TOOLBAR, toolbarSide));
    HWND commands =
        CreateToolbarEx(rebar, kToolbarStyle, IDC_TOOLBAR, 5, app.instance, strip, commandButtons,
                        int(std::size(commandButtons)), 0, 0, toolbarSide, toolbarSide, sizeof(TBBUTTON));
    // Its tooltips ask for their texts in UTF-16 (the ANSI form would pass the system's code page).
    SendMessageW(commands, CCM_SETUNICODEFORMAT, TRUE, 0);
    SendMessageA(commands, TB_SETBUTTONSIZE, 0, MAKELPARAM(scaled(kButtonWidth), scaled(kButtonHeight)));
    UINT buttonHeight = HIWORD(SendMessageA(commands, TB_GETBUTTONSIZE, 0, 0));
    insertBand(rebar, kBandStyle, "工具栏", 2, commands, UINT(scaled(kCommandsMinWidth)), buttonHeight,
               UINT(scaled(kCommandsWidth)), IDC_TOOLBAR, drawing.bandBackgrounds[0]);

    const TBBUTTON searchButtons[] = {separator(scaled(kSearchBoxWidth)), separator(), button(6, IDM_SEARCH),
                                      separator()};
    HWND search =
        CreateToolbarEx(rebar, kToolbarStyle, IDC_SEARCHBAR, 3, app.instance, strip, searchButtons,
                        int(std::size(searchButtons)), 0, 0, toolbarSide, toolbarSide, sizeof(TBBUTTON));
    SendMessageW(search, CCM_SETUNICODEFORMAT, TRUE, 0);
    SendMessageA(search, TB_SETBUTTONSIZE, 0, MAKELPARAM(scaled(kButtonWidth), scaled(kButtonHeight)));
    app.searchBox = createComboBox(
        search, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        scaled(kSearchBoxWidth), IDC_SEARCHBOX);
    insertBand(rebar, kBandStyle, "搜索", 5, search, UINT(scaled(kSearchMinWidth)),
               windowHeight(app.searchBox), UINT(scaled(kSearchWidth)), IDC_SEARCHBAR,
               drawing.bandBackgrounds[1]);
    loadSearchHistory(app.searchBox, settings.searchHistoryPath);

    HWND address = createComboBox(rebar,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP |
                                      CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                  scaled(kAddressBoxWidth), IDC_ADDRESSBOX);
    insertBand(rebar, RBBS_BREAK | kBandStyle, "地址栏", 2, address, UINT(scaled(kAddressMinWidth)),
               windowHeight(address), UINT(scaled(kAddressWidth)), IDC_ADDRESSBOX,
               drawing.bandBackgrounds[2]);
    return rebar;
}

void rescaleRebar(HWND rebar, HIMAGELIST bandImages, HFONT boxFont) {
    REBARINFO info{};
    info.cbSize = sizeof info;
    info.fMask = RBIM_IMAGELIST;
    info.himl = bandImages;
    SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    HWND commands = GetDlgItem(rebar, IDC_TOOLBAR), search = GetDlgItem(rebar, IDC_SEARCHBAR);
    const int side = smallImageSide(layoutDpi());
    for (HWND toolbar : {commands, search}) {
        // The same strip drawn at the new side, in place of the old one.
        SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
        TBREPLACEBITMAP strip{app.instance, UINT_PTR(pictureAtSide(IDB_TOOLBAR, toolbarSide)), app.instance,
                              UINT_PTR(pictureAtSide(IDB_TOOLBAR, side)), toolbar == commands ? 5 : 3};
        SendMessageA(toolbar, TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&strip));
        SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(scaled(kButtonWidth), scaled(kButtonHeight)));
    }
    toolbarSide = side;
    auto setSeparatorWidth = [](HWND toolbar, int index, int width) {
        TBBUTTONINFOW separatorInfo{};
        separatorInfo.cbSize = sizeof separatorInfo;
        separatorInfo.dwMask = TBIF_SIZE | TBIF_BYINDEX;
        separatorInfo.cx = WORD(width);
        SendMessageW(toolbar, TB_SETBUTTONINFOW, WPARAM(index), reinterpret_cast<LPARAM>(&separatorInfo));
    };
    setSeparatorWidth(commands, 8, scaled(kExitGap));
    setSeparatorWidth(search, 0, scaled(kSearchBoxWidth));
    HWND address = GetDlgItem(rebar, IDC_ADDRESSBOX);
    for (HWND box : {app.searchBox, address})
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(boxFont), TRUE);
    SetWindowPos(app.searchBox, nullptr, 0, 0, scaled(kSearchBoxWidth), 100, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(address, nullptr, 0, 0, scaled(kAddressBoxWidth), 100, SWP_NOMOVE | SWP_NOZORDER);

    struct Band {
        UINT minWidth, height, width;
    } bands[] = {
        {UINT(scaled(kCommandsMinWidth)), HIWORD(SendMessageA(commands, TB_GETBUTTONSIZE, 0, 0)),
         UINT(scaled(kCommandsWidth))},
        {UINT(scaled(kSearchMinWidth)), windowHeight(app.searchBox), UINT(scaled(kSearchWidth))},
        {UINT(scaled(kAddressMinWidth)), windowHeight(address), UINT(scaled(kAddressWidth))},
    };
    for (UINT index = 0; index < std::size(bands); ++index) {
        REBARBANDINFOW band{};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.cxMinChild = bands[index].minWidth;
        band.cyMinChild = bands[index].height;
        band.cx = bands[index].width;
        SendMessageW(rebar, RB_SETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
    }
}

void loadSearchHistory(HWND searchBox, const char* path) {
    // Newest first. Appending from the end of the file, into storage reserved at once and with
    // no repaint per word, keeps the fill linear in the number of words; inserting each at the
    // top moves every word before it.
    std::vector<std::string> words = readSearchHistory(path);
    if (words.empty()) return;
    size_t bytes = 0;
    for (const std::string& word : words)
        bytes += word.size() + 1;
    SendMessageA(searchBox, WM_SETREDRAW, FALSE, 0);
    SendMessageA(searchBox, CB_INITSTORAGE, WPARAM(words.size()), LPARAM(bytes));
    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        wchar_t wide[64];
        widenGbkInto(word->c_str(), wide, int(std::size(wide)));
        SendMessageW(searchBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
    }
    SendMessageA(searchBox, WM_SETREDRAW, TRUE, 0);
}

LRESULT supplyToolTipText(const NMHDR* header) {
    // A toolbar of a Unicode window asks in UTF-16; the ANSI form is answered too, should a
    // system's toolbar ask that way.
    if (header->code == TTN_NEEDTEXTW) {
        static wchar_t text[64];
        auto* request = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
        if (!LoadStringW(app.instance, UINT(header->idFrom), text, int(std::size(text)))) text[0] = L'\0';
        request->lpszText = text;
    } else if (header->code == TTN_NEEDTEXTA) {
        static char text[64];
        auto* request = reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(header));
        if (!LoadStringA(app.instance, UINT(header->idFrom), text, sizeof text)) text[0] = '\0';
        request->lpszText = text;
    }
    return 0;
}
