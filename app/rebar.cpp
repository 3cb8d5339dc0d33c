// The rebar with its three bands: the command toolbar, the search toolbar with the search
// box, and on a second row the address box.
#include "rebar.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "app_state.h"
#include "image_lists.h"
#include "resource.h"
#include "search_history.h"
#include "wide_text.h"

namespace {

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE;

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
        button(3, IDM_UPDATE), button(4, IDM_DETAILS),    separator(25),
        button(5, IDM_EXIT),
    };
    HWND commands =
        CreateToolbarEx(rebar, kToolbarStyle, IDC_TOOLBAR, 5, app.instance, IDB_TOOLBAR, commandButtons,
                        int(std::size(commandButtons)), 0, 0, 16, 16, sizeof(TBBUTTON));
    // Its tooltips ask for their texts in UTF-16 (the ANSI form would pass the system's code page).
    SendMessageW(commands, CCM_SETUNICODEFORMAT, TRUE, 0);
    UINT buttonHeight = HIWORD(SendMessageA(commands, TB_GETBUTTONSIZE, 0, 0));
    insertBand(rebar, kBandStyle, "工具栏", 2, commands, 200, buttonHeight, 250, IDC_TOOLBAR,
               drawing.bandBackgrounds[0]);

    const TBBUTTON searchButtons[] = {separator(200), separator(), button(6, IDM_SEARCH), separator()};
    HWND search =
        CreateToolbarEx(rebar, kToolbarStyle, IDC_SEARCHBAR, 3, app.instance, IDB_TOOLBAR, searchButtons,
                        int(std::size(searchButtons)), 0, 0, 16, 16, sizeof(TBBUTTON));
    SendMessageW(search, CCM_SETUNICODEFORMAT, TRUE, 0);
    app.searchBox = createComboBox(
        search, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL, 200,
        IDC_SEARCHBOX);
    insertBand(rebar, kBandStyle, "搜索", 5, search, 400, windowHeight(app.searchBox), 100, IDC_SEARCHBAR,
               drawing.bandBackgrounds[1]);
    loadSearchHistory(app.searchBox, settings.searchHistoryPath);

    HWND address = createComboBox(rebar,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP |
                                      CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                  300, IDC_ADDRESSBOX);
    insertBand(rebar, RBBS_BREAK | kBandStyle, "地址栏", 2, address, 250, windowHeight(address), 100,
               IDC_ADDRESSBOX, drawing.bandBackgrounds[2]);
    return rebar;
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
