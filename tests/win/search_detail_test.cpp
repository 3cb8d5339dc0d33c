// Search, the company detail window and the About dialog, read back from the real windows.
#include "program_fixture.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "about_dialog.h"
#include "app_state.h"
#include "detail_window.h"
#include "list_rows.h"
#include "resource.h"
#include "tree_model.h"
#include "wide_text.h"

namespace {

using Texts = std::vector<std::string>;

Catalogue searchCatalogue() {
    Catalogue c = sampleCatalogue();
    // 星河 (node 1) and 彩印 (node 4) are brands; company 4 "xyzabc" is filed under both.
    auto named = [](const char* name) {
        CompanySource s;
        s.name = name;
        s.website = "www.abc.example";
        return s;
    };
    c.companies.push_back(named("xyzabc"));    // 4
    c.companies.push_back(named("ABCD"));      // 5
    c.companies.push_back(named("abc已过期")); // 6: its only listing has expired
    c.links.push_back({1, 4, "", kValid});
    c.links.push_back({4, 4, "", kValid});
    c.links.push_back({2, 5, "", kValid});
    c.links.push_back({2, 6, "", kExpired});
    return c;
}

class SearchTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start(searchCatalogue(), {IDNO});
        messages.clear();
    }
    void search(const char* word) {
        setWindowTextGbk(app.searchBox, word);
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_SEARCH, 0);
    }
    COLORREF treeTextColour(HTREEITEM item) {
        NMTVCUSTOMDRAW draw{};
        draw.nmcd.hdr.hwndFrom = app.tree;
        draw.nmcd.hdr.idFrom = IDC_TREE;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(item);
        draw.clrText = RGB(1, 2, 3);
        SendMessageA(app.mainWindow, WM_NOTIFY, IDC_TREE, reinterpret_cast<LPARAM>(&draw));
        return draw.clrText;
    }
    std::vector<uint8_t> historyBytes() {
        std::ifstream in(settings.searchHistoryPath, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    // The item's row in the tree's window; false when it has none (under a closed node).
    bool itemRow(HTREEITEM item, RECT& row) {
        std::memcpy(&row, &item, sizeof item);
        return SendMessageA(app.tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row));
    }
    bool expanded(HTREEITEM item) {
        return SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
               TVIS_EXPANDED;
    }
};

TEST_F(SearchTest, FindsFoldedWordsOpensAndColoursEveryHitAndRemembersTheWord) {
    search("ABC");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "");
    EXPECT_EQ(messages[0].text, "找到了有关 'abc' 的信息 3 条!")
        << "xyzabc twice, ABCD once, the expired one not";
    ASSERT_EQ(SendMessageA(app.searchBox, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(comboBoxItems(app.searchBox), std::vector<std::string>{"abc"});
    EXPECT_EQ(SendMessageA(app.searchBox, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(historyBytes(), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c'}));

    HTREEITEM desktop = treeChild(app.tree, nullptr, 0), printers = treeChild(app.tree, nullptr, 1);
    HTREEITEM xinghe = treeChild(app.tree, desktop, 0), huatuo = treeChild(app.tree, desktop, 1);
    HTREEITEM caiyin = treeChild(app.tree, printers, 0);
    EXPECT_TRUE(expanded(desktop) && expanded(xinghe) && expanded(huatuo) && expanded(printers) &&
                expanded(caiyin));
    EXPECT_EQ(treeChildTexts(app.tree, huatuo), (Texts{"南京嘉图电脑有限公司", "ABCD"}));
    EXPECT_EQ(treeTextColour(treeChild(app.tree, huatuo, 1)), RGB(255, 4, 99));
    EXPECT_EQ(treeTextColour(treeChild(app.tree, xinghe, 2)), RGB(255, 4, 99)) << "xyzabc under 星河";
    EXPECT_EQ(treeTextColour(treeChild(app.tree, caiyin, 1)), RGB(255, 4, 99)) << "and under 彩印";
    EXPECT_EQ(treeTextColour(treeChild(app.tree, huatuo, 0)), RGB(1, 2, 3));
    EXPECT_EQ(treeTextColour(desktop), RGB(1, 2, 3));
    // Laid out and shown again after the search: the hit has its row inside the tree's window.
    EXPECT_TRUE(IsWindowVisible(app.tree));
    RECT row{}, client{};
    ASSERT_TRUE(itemRow(treeChild(app.tree, huatuo, 1), row));
    GetClientRect(app.tree, &client);
    EXPECT_TRUE(row.top >= 0 && row.bottom <= client.bottom) << row.top << ".." << row.bottom;
    saveWindowPicture(app.mainWindow, "search");

    // The same word again: found in the list, not added, not written again.
    search("abc");
    EXPECT_EQ(SendMessageA(app.searchBox, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(historyBytes().size(), 7u);
    // Collapsing keeps the hits; an empty box does nothing at all.
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_COLLAPSE, 0);
    EXPECT_FALSE(expanded(desktop));
    EXPECT_TRUE(IsWindowVisible(app.tree));
    EXPECT_FALSE(itemRow(treeChild(app.tree, huatuo, 1), row)) << "a closed node's companies have no row";
    search("");
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(treeTextColour(treeChild(app.tree, huatuo, 1)), RGB(255, 4, 99));
}

TEST_F(SearchTest, CategoryNamesAreSearchedTooAndNoHitStillTellsAndRemembers) {
    search("打印");
    EXPECT_EQ(messages.back().text, "找到了有关 '打印' 的信息 1 条!");
    EXPECT_EQ(treeTextColour(treeChild(app.tree, nullptr, 1)), RGB(255, 4, 99));
    search("0574");
    EXPECT_EQ(messages.back().text, "找到了有关 '0574' 的信息 0 条!") << "telephone numbers are not searched";
    EXPECT_EQ(SendMessageA(app.searchBox, CB_GETCOUNT, 0, 0), 2);
    EXPECT_FALSE(expanded(treeChild(app.tree, nullptr, 0)));
    // A typed character that GBK cannot hold (Hangul) is not turned into another one that might
    // be found: nothing is found, and the word is not kept.
    const std::vector<uint8_t> history = historyBytes();
    SetWindowTextW(app.searchBox, L"打\xD55C");
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SEARCH, 0);
    EXPECT_EQ(messages.back().text, "找到了有关 '打?' 的信息 0 条!") << "the box reads the Hangul as ?";
    EXPECT_EQ(SendMessageA(app.searchBox, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(historyBytes(), history);
}

TEST_F(SearchTest, EnterInTheSearchBoxSearches) {
    SetFocus(app.searchBox);
    EXPECT_EQ(focusedPane, kSearchPane);
    setWindowTextGbk(app.searchBox, "xyz");
    SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_ENTER, 1), 0);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, "找到了有关 'xyz' 的信息 2 条!");
    SetFocus(app.list);
    EXPECT_EQ(focusedPane, kListPane);
}

TEST_F(ProgramTest, ANodeOpenedOnTheWayToAHitShowsItsOwnCompaniesToo) {
    // 整机 under 台式电脑 holds a brand and a company of its own; the hit is under the brand.
    Catalogue c = sampleCatalogue();
    c.categories.push_back({"整机", true});  // 5
    c.categories.push_back({"联想", false}); // 6
    c.treeNodes.push_back({0, 5});           // node 5
    c.treeNodes.push_back({5, 6});           // node 6
    c.links.push_back({5, 1, "", kValid});   // 杭州信盈 under 整机 itself
    c.links.push_back({6, 3, "", kValid});   // 南京嘉图 under 联想
    start(c, {IDNO});
    setWindowTextGbk(app.searchBox, "嘉图");
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SEARCH, 0);
    HTREEITEM whole = treeChild(app.tree, treeChild(app.tree, nullptr, 0), 2);
    ASSERT_EQ(treeItemText(app.tree, whole), "整机");
    EXPECT_TRUE(SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(whole), TVIS_EXPANDED) &
                TVIS_EXPANDED);
    EXPECT_EQ(treeChildTexts(app.tree, whole), (Texts{"联想", "杭州信盈电脑有限公司"}));
}

TEST_F(ProgramTest, SearchStopsAtTheHitTable) {
    Catalogue c = sampleCatalogue();
    for (int i = 0; i < 1100; ++i) {
        CompanySource s;
        s.name = "match" + std::to_string(i);
        c.companies.push_back(s);
        c.links.push_back({2, int32_t(c.companies.size() - 1), "", kValid});
    }
    start(c);
    setWindowTextGbk(app.searchBox, "MATCH");
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SEARCH, 0);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, "找到了有关 'match' 的信息 1024 条!");
}

class DetailTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Catalogue c = sampleCatalogue();
        c.companies[0].introduction = std::string(3000, 'i') + "末尾";
        c.companies[0].bank = "工商银行";
        c.companies[0].busRoutes = "8路";
        start(c, {IDNO});
    }
    std::vector<HWND> detailWindows() {
        std::vector<HWND> found;
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "DetailClass", nullptr));)
            found.push_back(w);
        return found;
    }
    void openDetailsOfCompany0() {
        HTREEITEM xinghe = treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0);
        SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(xinghe));
        selectTreeItem(treeChild(app.tree, xinghe, 0));
        ASSERT_EQ(currentCompany, 0);
        SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_DETAILS, 0), 0);
    }
};

TEST_F(DetailTest, WindowForTheCurrentCompanyWithItsWholeIntroduction) {
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
    EXPECT_TRUE(detailWindows().empty()) << "no current company: nothing opens";
    openDetailsOfCompany0();
    std::vector<HWND> windows = detailWindows();
    ASSERT_EQ(windows.size(), 1u);
    HWND detail = windows[0];
    EXPECT_EQ(windowText(detail), "公司详情");
    EXPECT_EQ(detailCompany(detail), 0);
    RECT r{};
    GetWindowRect(detail, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, 355);
    const std::string introduction = dialogItemText(detail, kDetailEditId);
    EXPECT_EQ(introduction, "    公司介绍：" + std::string(3000, 'i') + "末尾") << "not cut at 1024 bytes";

    // Topmost at first; the first timer makes it an ordinary window.
    EXPECT_TRUE(GetWindowLongA(detail, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DWORD until = GetTickCount() + 3000;
    while ((GetWindowLongA(detail, GWL_EXSTYLE) & WS_EX_TOPMOST) && GetTickCount() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    EXPECT_FALSE(GetWindowLongA(detail, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The same company again: a second window of its own.
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
    EXPECT_EQ(detailWindows().size(), 2u);
    // The main window's end closes them before the database goes.
    DestroyWindow(app.mainWindow);
    EXPECT_TRUE(detailWindows().empty());
}

// Another running copy's detail window, stood in for by a window of the same class on a thread
// of its own, which keeps answering its messages until told to end.
class OtherCopysDetailWindow {
  public:
    OtherCopysDetailWindow() {
        thread_ = std::thread([this] {
            HWND w = CreateWindowExA(WS_EX_TOPMOST, "DetailClass", "另一个", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, app.instance, nullptr);
            window_ = w;
            SetEvent(made_);
            while (MsgWaitForMultipleObjects(1, &end_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
                MSG message;
                while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&message);
            }
            if (IsWindow(w)) DestroyWindow(w);
        });
        WaitForSingleObject(made_, 10000);
    }
    ~OtherCopysDetailWindow() {
        SetEvent(end_);
        thread_.join();
        CloseHandle(made_);
        CloseHandle(end_);
    }
    HWND window() const { return window_; }

  private:
    HANDLE made_ = CreateEventA(nullptr, TRUE, FALSE, nullptr),
           end_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

TEST_F(DetailTest, TheEndClosesThisCopysDetailWindowsOnlyAndForgetsTheTreesItems) {
    openDetailsOfCompany0();
    ASSERT_EQ(detailWindows().size(), 1u);
    HWND own = detailWindows()[0];
    OtherCopysDetailWindow other;
    ASSERT_TRUE(IsWindow(other.window()));
    HTREEITEM brand = treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0);
    ASSERT_EQ(nodeIndexOfItem(brand), 1);

    DestroyWindow(app.mainWindow);
    EXPECT_FALSE(IsWindow(own)) << "this copy's detail window stays open after its database is gone";
    EXPECT_TRUE(IsWindow(other.window())) << "the other copy's window is not this copy's to close";
    EXPECT_TRUE(treeModel.itemRecord.empty());
    EXPECT_EQ(nodeIndexOfItem(brand), -1) << "a destroyed tree's item still leads to a record";
}

TEST_F(DetailTest, LinesColoursAndLinks) {
    openDetailsOfCompany0();
    HWND detail = detailWindows().at(0);
    HDC dc = GetDC(detail);
    RECT client{};
    GetClientRect(detail, &client);
    std::vector<DetailLine> lines = detailLines(dc, 0, client);
    SIZE name{};
    std::wstring wideName = widenGbk(lines[0].text.c_str());
    GetTextExtentPoint32W(dc, wideName.c_str(), int(wideName.size()), &name);
    ReleaseDC(detail, dc);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].text, "宁波智盛数码科技有限公司");
    EXPECT_EQ(lines[0].x, (client.right - name.cx) / 2);
    EXPECT_EQ(lines[0].y, 18);
    EXPECT_EQ(lines[0].colour, RGB(255, 4, 99));
    const char* texts[] = {"地址：上海路1号",
                           "邮编：",
                           "电话：0574-1",
                           "传真：",
                           "联系：陈女士",
                           "网址：www.zhisheng.example",
                           "电邮：sales@zhisheng.example",
                           "账号：",
                           "税号：",
                           "开户行：工商银行",
                           "公交车：8路"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(lines[size_t(i) + 1].text, texts[i]);
        EXPECT_EQ(lines[size_t(i) + 1].x, 45);
        EXPECT_EQ(lines[size_t(i) + 1].y, 257 + 17 * i);
    }
    EXPECT_EQ(lines[1].colour, RGB(0, 155, 0));
    EXPECT_EQ(lines[6].colour, RGB(0, 0, 255));
    EXPECT_TRUE(lines[7].link);
    EXPECT_EQ(lines[8].colour, RGB(178, 98, 3));
    EXPECT_EQ(lines[11].colour, RGB(0, 0, 0));

    RECT links[2];
    ASSERT_TRUE(detailLinkRects(detail, links));
    EXPECT_EQ(links[0].left, 83);
    EXPECT_EQ(links[0].top, 342);
    EXPECT_EQ(links[1].top, 361);
    EXPECT_GT(links[0].right, 83);
    EXPECT_TRUE(pointInLinkRect(MAKELPARAM(links[0].right, links[0].bottom), links[0])) << "edges inclusive";
    EXPECT_FALSE(pointInLinkRect(MAKELPARAM(links[0].right + 1, links[0].bottom), links[0]));
    EXPECT_FALSE(pointInLinkRect(MAKELPARAM(-5, 350), links[0]));
    SendMessageA(detail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(links[0].right, links[0].bottom));
    SendMessageA(detail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(links[1].left, links[1].top + 1));
    SendMessageA(detail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 420));
    EXPECT_EQ(shellTargets, (Texts{"http://www.zhisheng.example", "mailto:sales@zhisheng.example"}));
}

TEST_F(ProgramTest, AboutDialogCentresBothLinksAndOpensTheSite) {
    start(sampleCatalogue(), {IDNO});
    std::string host(59, 'h');
    std::snprintf(settings.updateHost, sizeof settings.updateHost, "%s", host.c_str());
    HWND about =
        CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_ABOUT), app.mainWindow, aboutDialogProc, 0);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(windowText(about), "关于");
    ShowWindow(about, SW_SHOW);
    UpdateWindow(about);
    saveWindowPicture(about, "about");
    HWND icon = GetDlgItem(about, IDC_ABOUT_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0) << "the program's icon";
    RECT iconRect = childRect(icon);
    EXPECT_GT(iconRect.right - iconRect.left, 0);
    RECT client{};
    GetClientRect(about, &client);
    for (const RECT& r : aboutLinkRects) {
        EXPECT_EQ(r.left, (client.right - (r.right - r.left)) / 2);
        EXPECT_GT(r.right, r.left);
    }
    EXPECT_EQ(aboutLinkRects[0].top, 125);
    EXPECT_EQ(aboutLinkRects[1].top, 155);
    EXPECT_LT(aboutLinkRects[1].left, aboutLinkRects[0].left) << "the long host line reaches further left";
    SendMessageA(about, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(aboutLinkRects[0].left, aboutLinkRects[0].top));
    SendMessageA(about, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(shellTargets, (Texts{"http://" + host}));
    DestroyWindow(about);

    // The menu's command runs it modally; the hook answers it with 确定.
    messages.clear();
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "关于");
}

} // namespace
