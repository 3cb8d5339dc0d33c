// The keyboard between the panes, the list's rows on the clipboard and the list saved as a
// spreadsheet file, read back exactly.
#include <fstream>
#include <iterator>
#include <thread>

#include "program_fixture.h"

#include "app_state.h"
#include "detail_window.h"
#include "keyboard.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_save.h"
#include "path_text.h"
#include "resource.h"
#include "wide_text.h"

namespace {

using Texts = std::vector<std::string>;

// The company list of the brand 星河 (its expired listing left out), as copied and as saved.
#define COMPANY_TITLES_TAB                                                                                   \
    "品名\t品牌\t销售公司\t电话\t联系人\t传真\t网址\t电子邮件\t通讯地址\t邮编\t开户行\t帐号\t税号\r\n"
#define COPIED_ROWS                                                                                                          \
    COMPANY_TITLES_TAB                                                                                                       \
    "台式电脑\t星河\t宁波智盛数码科技有限公司\t0574-1\t陈女士\t\twww.zhisheng.example\tsales@zhisheng." \
    "example\t"                                                                                                              \
    "上海路1号\t\t\t\t\r\n"                                                                                              \
    "台式电脑\t星河\t合肥佳航科技有限公司\t0551-3\t曹经理\t\thttp://"                                     \
    "jiahang.example\t\t上海路1号\t\t\t\t\r\n"
#define COMPANY_CSV                                                                                                                \
    "\uFEFF品名,品牌,销售公司,电话,联系人,传真,网址,电子邮件,通讯地址,邮编,开户行,帐号,税号\r\n" \
    "台式电脑,星河,宁波智盛数码科技有限公司,\"=\"\"0574-1\"\"\",陈女士,,www.zhisheng.example,sales@"          \
    "zhisheng.example,"                                                                                                            \
    "上海路1号,,,,\r\n"                                                                                                        \
    "台式电脑,星河,合肥佳航科技有限公司,\"=\"\"0551-3\"\"\",曹经理,,http://"                                    \
    "jiahang.example,,上海路1号,,,,\r\n"
// A company's products sorted by their model: the file keeps the order shown; a price, which a
// spreadsheet would take for an amount of its own format, is written as a text formula.
#define PRODUCT_CSV                                                                                          \
    "\uFEFF品名,品牌,型号,配置,单价,单位,产地,备注,序号\r\n"                               \
    "打印机,彩印,CY-1,彩色,电询,台,,,3\r\n"                                                        \
    ",台式电脑,TOP,,\"=\"\"￥30000000.00\"\"\",,,,4\r\n"                                                \
    "台式电脑,星河,XH-100,酷睿 i5/8G/512G,\"=\"\"￥3999.00\"\"\",台,上海,含税,1\r\n"           \
    "台式电脑,星河,XH-300,,\"=\"\"￥12.30\"\"\",台,,,2\r\n"

std::string bytesOf(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::string fileText(const std::string& path) {
    Bytes bytes = fileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class ListKeysTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start(sampleCatalogue(), {IDNO});
        desktop = treeChild(app.tree, nullptr, 0);
        xinghe = treeChild(app.tree, desktop, 0);
        SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(xinghe));
        accelerators = LoadAcceleratorsA(app.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    }
    void TearDown() override {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        askExportPath = savedAsk;
        ProgramTest::TearDown();
    }

    // A key pressed in the focused window and taken from the queue as the program's loop takes
    // it: the panes' keys first, then the accelerators, then the window itself.
    void press(WPARAM key, bool shift = false, bool control = false) {
        BYTE keys[256] = {};
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            if (handlePaneKey(message) || TranslateAcceleratorA(app.mainWindow, accelerators, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        BYTE none[256] = {};
        SetKeyboardState(none);
    }

    // The clipboard's CF_TEXT as it stands, in the system's code page.
    static std::string clipboardAnsi() {
        std::string text;
        if (!OpenClipboard(nullptr)) return "(no clipboard)";
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
    static std::wstring clipboardWide() {
        std::wstring text;
        if (!OpenClipboard(nullptr)) return L"(no clipboard)";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
    // The copied text as the program's GBK, whatever the system's code page.
    static std::string clipboardText() { return gbkOf(clipboardWide().c_str()); }

    // What the commands act on: the companies whose detail windows command 120 opens (closed
    // again), and the company fields the notebook dialog of command 118 starts with. The focus
    // goes back to the list, as the user's next key there would find it.
    static std::vector<int> detailsOpened() {
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
        std::vector<int> companies = detailWindowCompanies();
        closeDetailWindows();
        SetFocus(app.list);
        return companies;
    }
    static Texts noteFields() {
        Texts fields;
        dialogDriver = [&](HWND dialog) {
            for (int id : {IDC_NOTE_COMPANY, IDC_NOTE_PHONE, IDC_NOTE_CONTACT}) {
                fields.push_back(dialogItemText(dialog, id));
            }
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        };
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_NOTE_WRITE, 0);
        dialogDriver = nullptr;
        SetFocus(app.list);
        return fields;
    }
    // Where the context menu of the keyboard (Shift+F10) opens, read from the menu's own window,
    // which is then closed; the row's corner it is expected at.
    static POINT keyboardMenuPlace() {
        menuPlace = POINT{-1, -1};
        // The activation a closed window left in the queue would end the menu at once.
        MSG pending;
        while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&pending);
        SetTimer(nullptr, 0, 1, readMenuPlace);
        SendMessageA(app.mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.list), LPARAM(-1));
        SetFocus(app.list);
        return menuPlace;
    }
    static POINT rowMenuCorner(int row) {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(app.list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&bounds));
        POINT corner{bounds.left + 8, bounds.bottom};
        ClientToScreen(app.list, &corner);
        return corner;
    }
    static void CALLBACK readMenuPlace(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        for (HWND menu = nullptr; (menu = FindWindowExA(nullptr, menu, "#32768", nullptr));)
            if (IsWindowVisible(menu)) {
                RECT r{};
                GetWindowRect(menu, &r);
                menuPlace = POINT{r.left, r.top};
            }
        EndMenu();
    }
    static inline POINT menuPlace{};

    HTREEITEM desktop{}, xinghe{};
    HACCEL accelerators{};
    bool (*savedAsk)(HWND, char*, size_t) = askExportPath;
};

bool inSearchBox(HWND window) {
    return window && IsChild(app.searchBox, window);
}

TEST_F(ListKeysTest, TabAndF6MoveTheFocusRoundThePanesAndEnterKeepsItsMeaning) {
    selectTreeItem(xinghe);
    SetFocus(app.searchBox);
    ASSERT_TRUE(inSearchBox(GetFocus()));
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), app.tree) << "search box -> tree";
    EXPECT_EQ(focusedPane, kTreePane);
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), app.list) << "tree -> list";
    EXPECT_EQ(SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 0)
        << "the first row takes the focus rectangle";
    press(VK_TAB);
    EXPECT_TRUE(inSearchBox(GetFocus())) << "list -> search box";
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), app.list) << "Shift+Tab: search box -> list";
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), app.tree) << "Shift+Tab: list -> tree";
    press(VK_F6);
    EXPECT_EQ(GetFocus(), app.list);
    press(VK_F6, true);
    EXPECT_EQ(GetFocus(), app.tree);
    SetFocus(app.mainWindow);
    press(VK_TAB);
    EXPECT_TRUE(inSearchBox(GetFocus())) << "from the window itself to the first pane";

    // Enter in the tree still opens the selected node; in the search box it still searches.
    press(VK_TAB);
    HTREEITEM printers = treeChild(app.tree, nullptr, 1);
    selectTreeItem(printers);
    press(VK_RETURN);
    EXPECT_TRUE(SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(printers), TVIS_EXPANDED) &
                TVIS_EXPANDED);
    focusSearchBox();
    setWindowTextGbk(app.searchBox, "xyz");
    press(VK_RETURN);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, "找到了有关 'xyz' 的信息 0 条!");
}

TEST_F(ListKeysTest, CtrlCCopiesTheHighlightedRowsInTwoFormatsAndCtrlAHighlightsAll) {
    selectTreeItem(xinghe);
    SetFocus(app.list);
    LVITEMA highlight{};
    highlight.stateMask = highlight.state = LVIS_SELECTED;
    SendMessageA(app.list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&highlight));
    SendMessageA(app.list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&highlight));
    press('C', false, true);
    EXPECT_EQ(clipboardWide(), L"" COPIED_ROWS) << "CF_UNICODETEXT";
    // CF_TEXT in the system's code page: on a Chinese system the GBK bytes themselves.
    const std::wstring wide = L"" COPIED_ROWS;
    std::string ansi(wide.size() * 2 + 1, '\0');
    ansi.resize(size_t(
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), int(ansi.size()), nullptr, nullptr) -
        1));
    EXPECT_EQ(clipboardAnsi(), ansi) << "CF_TEXT";
    if (GetACP() == 936) {
        EXPECT_EQ(clipboardAnsi(), COPIED_ROWS) << "CF_TEXT in GBK";
    }

    // Nothing highlighted, the focus rectangle on a row: no row is copied, the clipboard stays.
    highlight.state = 0;
    SendMessageA(app.list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&highlight));
    LVITEMA focus{};
    focus.stateMask = focus.state = LVIS_FOCUSED;
    SendMessageA(app.list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    press('C', false, true);
    EXPECT_EQ(clipboardWide(), L"" COPIED_ROWS);

    press('A', false, true);
    EXPECT_EQ(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
}

TEST_F(ListKeysTest, CtrlCTriesAgainWhileAnotherProgramHoldsTheClipboardThenTellsTheUser) {
    selectTreeItem(xinghe);
    clickListRow(0);
    SetFocus(app.list);
    // Another thread holds the clipboard for the whole copy, as a clipboard manager would for a
    // moment.
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr),
           release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([held, release] {
        OpenClipboard(nullptr);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        CloseClipboard();
    });
    WaitForSingleObject(held, INFINITE);
    messages.clear();
    const DWORD start = GetTickCount();
    press('C', false, true);
    SetEvent(release);
    holder.join();
    CloseHandle(held);
    CloseHandle(release);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "复制");
    EXPECT_EQ(messages[0].text, "无法把选中的行复制到剪贴板。");
    EXPECT_GE(messages[0].shownAt - start, 100u) << "tried again for about 100 ms before it gave up";

    SetFocus(app.list);
    press('C', false, true);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(clipboardText().substr(0, 5), "品名\t") << "copied once the clipboard is free";
}

TEST_F(ListKeysTest, CtrlFSelectsTheSearchBoxTextWhoseCtrlCStaysItsOwn) {
    setWindowTextGbk(app.searchBox, "abc");
    SetFocus(app.tree);
    press('F', false, true);
    EXPECT_TRUE(inSearchBox(GetFocus()));
    DWORD start = 0, end = 0;
    SendMessageA(app.searchBox, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u) << "the whole text selected";
    EXPECT_EQ(focusedPane, kSearchPane);
    press('C', false, true);
    EXPECT_EQ(clipboardText(), "abc") << "the edit field's own copy";
}

TEST_F(ListKeysTest, ListsSavedAsCsvUnderTheNameOfWhatTheyShow) {
    static std::string proposed, target;
    // A name the system's code page may not spell, Hangul being outside GBK.
    target = scratch_ + pathOfWide(L"\\列表 한국어.csv");
    askExportPath = [](HWND, char* path, size_t capacity) {
        proposed = path;
        std::snprintf(path, capacity, "%s", target.c_str());
        return true;
    };
    messages.clear();
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(proposed, utf8OfGbk("华东-电脑商情.csv")) << "the top level: the catalogue's title";
    selectTreeItem(xinghe);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(proposed, utf8OfGbk("星河.csv"));
    EXPECT_EQ(fileText(target), bytesOf(u8"" COMPANY_CSV));

    selectTreeItem(treeChild(app.tree, xinghe, 0));
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(proposed, utf8OfGbk("宁波智盛数码科技有限公司.csv"))
        << "the company's name, without its phone and contact";
    EXPECT_EQ(fileText(target), bytesOf(u8"" PRODUCT_CSV)) << "the old file replaced";
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(
        GetFileAttributesW(widePath(target + ".~" + std::to_string(GetCurrentProcessId()) + ".tmp").c_str()),
        INVALID_FILE_ATTRIBUTES);

    SendMessageA(app.mainWindow, WM_COMMAND, IDM_NOTE_VIEW, 0);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(proposed, utf8OfGbk("我的记事本.csv"));
}

TEST_F(ListKeysTest, AFailedExportTellsTheUserAndLeavesTheOldFile) {
    static std::string target;
    target = scratch_ + utf8OfGbk("\\公司.csv");
    writeBytes(target, {'o', 'l', 'd'});
    // A folder where the file would be written first refuses it.
    const std::string temporary = target + ".~" + std::to_string(GetCurrentProcessId()) + ".tmp";
    ASSERT_TRUE(CreateDirectoryW(widePath(temporary).c_str(), nullptr));
    askExportPath = [](HWND, char* path, size_t capacity) {
        std::snprintf(path, capacity, "%s", target.c_str());
        return true;
    };
    messages.clear();
    selectTreeItem(xinghe);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(fileText(target), "old");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "导出列表");
    EXPECT_EQ(messages[0].text,
              "无法保存列表到文件：\r\n" + scratch_ + "\\公司.csv\r\n\r\n原有的文件保持不变。");

    // A cancelled dialog saves nothing and says nothing.
    askExportPath = [](HWND, char*, size_t) { return false; };
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    EXPECT_EQ(messages.size(), 1u);
    RemoveDirectoryW(widePath(temporary).c_str());

    // The old file held open by another program without sharing it (a spreadsheet that shows it).
    HANDLE held = CreateFileW(widePath(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    askExportPath = [](HWND, char* path, size_t capacity) {
        std::snprintf(path, capacity, "%s", target.c_str());
        return true;
    };
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_EXPORT_LIST, 0);
    CloseHandle(held);
    EXPECT_EQ(fileText(target), "old");
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(GetFileAttributesW(widePath(temporary).c_str()), INVALID_FILE_ATTRIBUTES)
        << "nothing left beside it";
}

TEST_F(ListKeysTest, TheExportCommandInTheViewMenuAndTheListsContextMenus) {
    EXPECT_EQ(menuItemText(GetMenu(app.mainWindow), IDM_EXPORT_LIST, MF_BYCOMMAND), "导出列表(&E)…");
    for (int resource : {IDR_LISTMENU, IDR_NOTEBOOKMENU, IDR_COMPANYMENU}) {
        HMENU menu = LoadMenuA(app.instance, MAKEINTRESOURCEA(resource));
        EXPECT_EQ(GetMenuState(GetSubMenu(menu, 0), IDM_EXPORT_LIST, MF_BYCOMMAND) & MF_GRAYED, 0u)
            << resource;
        EXPECT_NE(GetMenuState(GetSubMenu(menu, 0), IDM_EXPORT_LIST, MF_BYCOMMAND), UINT(-1)) << resource;
        DestroyMenu(menu);
    }
}

// Letters typed into a company list go to the first company whose name begins with them, typed
// in UTF-16 whatever the system's code page; a character GBK has not finds none.
TEST_F(ListKeysTest, TypedCharactersGoToTheCompanyWhoseNameBeginsWithThem) {
    selectTreeItem(xinghe);
    SetFocus(app.list);
    auto typed = [](const wchar_t* text) {
        Sleep(1100); // the list starts a new search after a pause
        for (; *text; ++text)
            SendMessageW(app.list, WM_CHAR, *text, 1); // a repeat count of one
        return SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED);
    };
    ASSERT_EQ(listCell(app.list, 1, 2), "合肥佳航科技有限公司");
    EXPECT_EQ(typed(L"合肥"), 1);
    EXPECT_EQ(typed(L"宁"), 0);
    const LRESULT afterHangul = typed(L"한"); // outside the macro, whose text is GBK
    EXPECT_EQ(afterHangul, 0) << "no row found, the focus stays";
}

using Companies = std::vector<int>;

TEST_F(ListKeysTest, AListedCompanyStaysCurrentThroughTabAndTheKeysOfItsProductList) {
    selectTreeItem(treeChild(app.tree, xinghe, 0)); // 宁波智盛数码科技有限公司's products
    SetFocus(app.tree);
    press(VK_TAB);
    ASSERT_EQ(GetFocus(), app.list);
    EXPECT_EQ(detailsOpened(), Companies{0}) << "after Tab into the list";
    press(VK_DOWN);
    press(VK_END);
    press(VK_UP, false, true);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 2) << "Ctrl+Up";
    EXPECT_EQ(noteFields(), (Texts{"宁波智盛数码科技有限公司", "0574-1", "陈女士"}));
    EXPECT_EQ(detailsOpened(), Companies{0});
}

TEST_F(ListKeysTest, CtrlArrowsMoveTheFocusOffTheHighlightedCompanyWhichTheCommandsStillActOn) {
    selectTreeItem(desktop); // 宁波智盛 (company 0), 合肥佳航 (2), 南京嘉图 (3)
    SetFocus(app.tree);
    press(VK_TAB);
    EXPECT_EQ(detailsOpened(), Companies{}) << "the focus rectangle alone highlights no company";
    press(VK_DOWN);
    press(VK_DOWN, false, true);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 2);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(detailsOpened(), Companies{2});
    EXPECT_EQ(noteFields(), (Texts{"合肥佳航科技有限公司", "0551-3", "曹经理"}));
    press('C', false, true);
    EXPECT_EQ(clipboardText(), COMPANY_TITLES_TAB "台式电脑\t星河\t合肥佳航科技有限公司\t0551-3\t曹经理\t\t"
                                                  "http://jiahang.example\t\t上海路1号\t\t\t\t\r\n");
    POINT menu = keyboardMenuPlace(), row = rowMenuCorner(1);
    EXPECT_EQ(menu.x, row.x);
    EXPECT_EQ(menu.y, row.y);
    press(VK_UP, false, true);
    press(VK_UP, false, true);
    EXPECT_EQ(detailsOpened(), Companies{2}) << "the focus above the highlight";
    press(VK_RETURN);
    EXPECT_EQ(addressText(), "→台式电脑→星河→合肥佳航科技有限公司 0551-3 曹经理");
}

TEST_F(ListKeysTest, ARangeOfHighlightedCompaniesIsActedOnAtItsFocusedRow) {
    selectTreeItem(desktop);
    SetFocus(app.list);
    press(VK_HOME);
    press(VK_END, true);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0), 3) << "Shift+End";
    EXPECT_EQ(detailsOpened(), Companies{3});
    EXPECT_EQ(noteFields(), (Texts{"南京嘉图电脑有限公司", "025-4", "曹军"}));
    press(VK_UP, false, true);
    EXPECT_EQ(detailsOpened(), Companies{2}) << "Ctrl+Up to another highlighted row";
    POINT menu = keyboardMenuPlace(), row = rowMenuCorner(1);
    EXPECT_EQ(menu.y, row.y);
    press('C', false, true);
    EXPECT_EQ(
        clipboardText(), COMPANY_TITLES_TAB
        "台式电脑\t星河\t宁波智盛数码科技有限公司\t0574-1\t陈女士\t\twww.zhisheng.example\t"
        "sales@zhisheng.example\t上海路1号\t\t\t\t\r\n"
        "台式电脑\t星河\t合肥佳航科技有限公司\t0551-3\t曹经理\t\thttp://jiahang.example\t\t"
        "上海路1号\t\t\t\t\r\n"
        "台式电脑\t华拓\t南京嘉图电脑有限公司\t025-4\t曹军\t\twww.jiatu.example\t\t上海路1号\t\t\t\t\r\n");
    press(VK_UP, true);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0), 1) << "Shift+Up: the range is row 0";
    EXPECT_EQ(detailsOpened(), Companies{0});
    // The focus moved first, the range highlighted after it.
    press(VK_DOWN, false, true);
    press(VK_SPACE, true);
    ASSERT_EQ(SendMessageA(app.list, LVM_GETSELECTEDCOUNT, 0, 0), 2) << "Ctrl+Down, Shift+Space";
    EXPECT_EQ(detailsOpened(), Companies{2});
}

} // namespace
