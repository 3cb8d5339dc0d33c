// Start-up: the expiry notice and its answers, the title, the temporary file, the status bar,
// the layout and the rebar.
#include "program_fixture.h"

#include "app_state.h"
#include "database.h"
#include "host_slot.h"
#include "main_window.h"
#include "startup.h"
#include "tick_count.h"

namespace {

using Texts = std::vector<std::string>;

Catalogue withoutExpiredEntries() {
    Catalogue c = sampleCatalogue();
    for (auto& link : c.links)
        link.expiry = kValid;
    for (auto& product : c.products)
        product.expiry = "";
    return c;
}

// Windows XP has only the 32-bit millisecond count; the runtime's 64-bit one is made from it.
TEST(TickCountWithoutGetTickCount64, CarriesEachWrapAndPlacesAnOvertakenReadBeforeTheNewest) {
    std::atomic<uint64_t> last{0};
    EXPECT_EQ(widenTickCount(0xFFFFFF00u, last), 0xFFFFFF00u);
    EXPECT_EQ(widenTickCount(0x10u, last), 0x100000010u);
    EXPECT_EQ(widenTickCount(0x08u, last), 0x100000008u) << "read before the newest, not a wrap later";
    EXPECT_EQ(widenTickCount(0x70000000u, last), 0x170000000u);
    EXPECT_EQ(widenTickCount(0xE0000000u, last), 0x1E0000000u);
    EXPECT_EQ(widenTickCount(0x10u, last), 0x200000010u);
    EXPECT_EQ(last.load(), 0x200000010u);
}

TEST_F(ProgramTest, ExpiryNoticeCountsTheExpiredEntriesAndNoKeepsTheShellAway) {
    start(sampleCatalogue(), {IDNO});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "提示");
    EXPECT_EQ(
        messages[0].text,
        "已经有2条过时信息。过时信息将不被显示。\r\n\r\n    建议你下载最新的商情。\r\n      现在下载吗？");
    EXPECT_TRUE(shellTargets.empty());
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
}

TEST_F(ProgramTest, ExpiryNoticeYesOpensTheUpdateHostsSite) {
    start(sampleCatalogue(), {IDYES});
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_EQ(shellTargets.size(), 1u);
    // The built-in host: the notice comes before the test sets its own for the update check.
    EXPECT_EQ(shellTargets[0], std::string("http://") + builtInUpdateHost());
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
}

TEST_F(ProgramTest, SiteAddressGetsASchemeOnlyWhenItHasNone) {
    char address[80];
    siteAddressOf("update.example", address, sizeof address);
    EXPECT_STREQ(address, "http://update.example");
    siteAddressOf("https://update.example/", address, sizeof address);
    EXPECT_STREQ(address, "https://update.example/");
}

TEST_F(ProgramTest, NoNoticeWithoutExpiredEntriesTitleFromTheDataAndNoTemporaryFile) {
    start(withoutExpiredEntries());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(windowText(app.mainWindow), "华东→电脑商情→Kovanta 更新日期：2026-12-01");
    EXPECT_EQ(GetFileAttributesA("5.msg"), INVALID_FILE_ATTRIBUTES) << "5.msg is deleted after loading";
    std::string system(MAX_PATH, '\0');
    system.resize(GetSystemDirectoryA(system.data(), MAX_PATH));
    EXPECT_EQ(startupNotebookPath, system + "\\MyDocInf.wrk");
    EXPECT_STREQ(settings.versionString, "1.3");
}

TEST_F(ProgramTest, StatusBarPartsAndTexts) {
    start(withoutExpiredEntries());
    RECT client{};
    GetClientRect(app.mainWindow, &client);
    int edges[3] = {};
    ASSERT_EQ(SendMessageA(app.statusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
    int third = edges[0];
    EXPECT_EQ(edges[1], 2 * third);
    EXPECT_EQ(edges[2], 4 * third);
    EXPECT_NEAR(third, 742 / 3, 2) << "a third of the first client width";
    EXPECT_EQ(statusText(app.statusBar, 1), "当前信息：华东-电脑商情 信息");
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 2 条信息");
    EXPECT_NE(statusText(app.statusBar, 0), "");
    EXPECT_NE(SendMessageA(app.statusBar, SB_GETICON, 2, 0), 0);
    // Resizing keeps the edges.
    MoveWindow(app.mainWindow, 0, 0, 900, 600, TRUE);
    int after[3] = {};
    SendMessageA(app.statusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(after));
    EXPECT_EQ(after[0], third);
}

// Pixels of the screen inside a window's client rectangle darker than mid grey: text drawn.
int darkPixelsOnScreen(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    ScreenPicture picture = screenPicture(r);
    int dark = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.bits.data() + size_t(y) * picture.stride + 3 * size_t(x);
            dark += p[0] + p[1] + p[2] < 3 * 128;
        }
    return dark;
}

TEST_F(ProgramTest, AMaximizedWindowIsDrawnWhole) {
    start(withoutExpiredEntries());
    ShowWindow(app.mainWindow, SW_MAXIMIZE);
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
    EXPECT_GT(darkPixelsOnScreen(app.statusBar), 100) << "the status bar's texts on the screen";
}

TEST_F(ProgramTest, LayoutOfASixHundredPixelClientArea) {
    start(withoutExpiredEntries());
    RECT window{}, client{};
    GetWindowRect(app.mainWindow, &window);
    GetClientRect(app.mainWindow, &client);
    int frame = (window.right - window.left) - client.right;
    MoveWindow(app.mainWindow, 0, 0, 600 + frame, 500, TRUE);
    GetClientRect(app.mainWindow, &client);
    ASSERT_EQ(client.right, 600);
    RECT rebar{}, status{};
    GetClientRect(app.rebar, &rebar);
    GetClientRect(app.statusBar, &status);
    RECT tree = childRect(app.tree), list = childRect(app.list);
    EXPECT_EQ(tree.left, -1);
    EXPECT_EQ(tree.right - tree.left, 201);
    EXPECT_EQ(list.left, 202);
    EXPECT_EQ(list.right - list.left, 400);
    EXPECT_EQ(tree.top, rebar.bottom + 6);
    EXPECT_EQ(tree.bottom - tree.top, client.bottom - rebar.bottom - status.bottom - 3);
    EXPECT_EQ(list.bottom - list.top, client.bottom - rebar.bottom - status.bottom - 4);
    RECT bar = childRect(app.statusBar);
    EXPECT_EQ(bar.top, client.bottom - status.bottom);

    // A drag ends with the split where the button came up; the next resize goes back.
    LPARAM at = MAKELPARAM(300, rebar.bottom + 50);
    SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(lastSplitterX, 300);
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(350, rebar.bottom + 50));
    EXPECT_EQ(lastSplitterX, 350);
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(380, rebar.bottom + 50));
    EXPECT_EQ(lastSplitterX, 350) << "with Shift down the line stays";
    SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(350, rebar.bottom + 50));
    EXPECT_EQ(childRect(app.list).left, 349);
    EXPECT_EQ(childRect(app.tree).right - childRect(app.tree).left, 348);
    MoveWindow(app.mainWindow, 0, 0, 600 + frame, 520, TRUE);
    EXPECT_EQ(childRect(app.list).left, 202);
    // A release left of the window gives the default split.
    SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(-20, rebar.bottom + 50));
    EXPECT_EQ(childRect(app.list).left, 202);
    EXPECT_FALSE(isOnSplitter(MAKELPARAM(10, rebar.bottom + 5)));
    EXPECT_TRUE(isOnSplitter(MAKELPARAM(10, rebar.bottom + 6)));
}

// The list destroys the shared image lists with itself; a later main window of the same process
// (each test here makes one) must not hand the dead handles to the rebar, which then measured its
// band images from stack garbage and laid out rows 32,000 pixels high on i686.
TEST_F(ProgramTest, EveryMainWindowOfTheProcessHasLiveImageLists) {
    LRESULT firstBarHeight = 0;
    for (int window = 0; window < 2; ++window) {
        start(withoutExpiredEntries());
        REBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.fMask = RBIM_IMAGELIST;
        SendMessageA(app.rebar, RB_GETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));
        auto small = reinterpret_cast<HIMAGELIST>(SendMessageA(app.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        auto large = reinterpret_cast<HIMAGELIST>(SendMessageA(app.list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
        EXPECT_EQ(bar.himl, small) << "window " << window;
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(app.tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
                  small);
        int cx = 0, cy = 0;
        EXPECT_TRUE(ImageList_GetIconSize(small, &cx, &cy) && cx == 16 && cy == 16) << "window " << window;
        EXPECT_TRUE(ImageList_GetIconSize(large, &cx, &cy) && cx == 32 && cy == 32) << "window " << window;
        EXPECT_EQ(ImageList_GetImageCount(small), 6);
        EXPECT_EQ(ImageList_GetImageCount(large), 3);
        LRESULT barHeight = SendMessageA(app.rebar, RB_GETBARHEIGHT, 0, 0);
        if (window == 0) {
            firstBarHeight = barHeight;
            DestroyWindow(app.mainWindow);
            app = AppWindows{app.instance};
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                if (message.message != WM_QUIT) DispatchMessageA(&message);
        } else {
            EXPECT_EQ(barHeight, firstBarHeight);
        }
    }
}

std::vector<UINT> insertedBandSizes;
LRESULT CALLBACK recordBandSizes(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char className[32] = {};
    if (code == HC_ACTION && (call->message == RB_INSERTBANDA || call->message == RB_INSERTBANDW) &&
        GetClassNameA(call->hwnd, className, sizeof className) && lstrcmpiA(className, REBARCLASSNAMEA) == 0)
        insertedBandSizes.push_back(reinterpret_cast<const REBARBANDINFOA*>(call->lParam)->cbSize);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ProgramTest, RebarBandsToolbarsAndTooltips) {
    // Windows XP's comctl32 6 refuses a band described in more bytes than it knows.
    insertedBandSizes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, recordBandSizes, nullptr, GetCurrentThreadId());
    start(withoutExpiredEntries());
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(insertedBandSizes, std::vector<UINT>(3, UINT(REBARBANDINFOA_V6_SIZE)));
    ASSERT_EQ(SendMessageA(app.rebar, RB_GETBANDCOUNT, 0, 0), 3);
    const char* texts[] = {"工具栏", "搜索", "地址栏"};
    const UINT ids[] = {4200, 4201, 4302};
    for (int b = 0; b < 3; ++b) {
        wchar_t text[32] = {};
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_TEXT | RBBIM_ID | RBBIM_IMAGE | RBBIM_STYLE;
        band.lpText = text;
        band.cch = 32;
        SendMessageW(app.rebar, RB_GETBANDINFOW, WPARAM(b), reinterpret_cast<LPARAM>(&band));
        EXPECT_EQ(gbkOf(text), texts[b]);
        EXPECT_EQ(band.wID, ids[b]);
        EXPECT_EQ(band.iImage, b == 1 ? 5 : 2);
        if (b == 2) {
            EXPECT_TRUE(band.fStyle & RBBS_BREAK) << "the address box starts a second row";
        }
    }
    HWND commands = GetDlgItem(app.rebar, 4200);
    ASSERT_EQ(SendMessageA(commands, TB_BUTTONCOUNT, 0, 0), 10);
    const int commandIds[] = {0, 118, 119, 0, 125, 0, 103, 120, 0, 100};
    for (int i = 0; i < 10; ++i) {
        TBBUTTON button{};
        SendMessageA(commands, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, commandIds[i]) << "button " << i;
    }
    HWND search = GetDlgItem(app.rebar, 4201);
    EXPECT_EQ(SendMessageA(search, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(GetParent(app.searchBox), search);
    EXPECT_EQ(addressText(), "") << "empty until the first selection";

    auto tooltip = [&](UINT id) {
        NMTTDISPINFOW request{};
        request.hdr.hwndFrom = commands;
        request.hdr.idFrom = id;
        request.hdr.code = TTN_NEEDTEXTW;
        SendMessageW(app.mainWindow, WM_NOTIFY, 4200, reinterpret_cast<LPARAM>(&request));
        return gbkOf(request.lpszText ? request.lpszText : L"");
    };
    EXPECT_EQ(tooltip(125), "收缩回原始状态");
    EXPECT_EQ(tooltip(4300), "开始搜索");
    EXPECT_EQ(tooltip(100), "退出本系统");
    EXPECT_EQ(tooltip(118), "记入“我的记事本”");

    // The toolbar's own tooltip asks through the rebar, as when the pointer rests on a button.
    auto shown = [&](HWND toolbar, UINT id) {
        HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = toolbar;
        tool.uId = id;
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return gbkOf(text);
    };
    EXPECT_EQ(shown(commands, 125), "收缩回原始状态");
    EXPECT_EQ(shown(search, 4300), "开始搜索");
}

std::vector<uint8_t> historyOf(const Texts& words) {
    std::vector<uint8_t> bytes;
    for (const std::string& w : words) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(w.size() >> (8 * i)));
        bytes.insert(bytes.end(), w.begin(), w.end());
    }
    return bytes;
}

TEST_F(ProgramTest, SearchHistoryFillsTheSearchBoxNewestFirst) {
    historyFile = historyOf({"显示器", "abc"});
    std::string longWord(60, 'x');
    auto more = historyOf({longWord});
    historyFile.insert(historyFile.end(), more.begin(), more.end());
    historyFile.insert(historyFile.end(), {9, 0, 0, 0, 'c', 'u', 't'}); // cut short: left out
    start(withoutExpiredEntries());
    ASSERT_EQ(SendMessageA(app.searchBox, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(comboBoxItems(app.searchBox), (Texts{std::string(49, 'x'), "abc", "显示器"}));
    EXPECT_EQ(windowText(app.searchBox), "");
}

TEST_F(ProgramTest, EscapeQuitsThroughTheAcceleratorsWhicheverWindowHasTheFocus) {
    start(withoutExpiredEntries());
    HACCEL accelerators = LoadAcceleratorsA(app.instance, MAKEINTRESOURCEA(131));
    ASSERT_NE(accelerators, nullptr);
    MSG key{app.searchBox, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(TranslateAcceleratorA(app.mainWindow, accelerators, &key));
    EXPECT_FALSE(IsWindow(app.mainWindow)) << "command 100 destroys the main window";
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(dataStore.companies, nullptr) << "the database is freed";
}

} // namespace
