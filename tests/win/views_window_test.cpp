// The tree and the list as the user meets them: items, images, paths, fills, cells, bands,
// sorting, the current company (clicked, keyed, typed, kept by a sort), long lists, Enter,
// context menus and view marks.
#include "program_fixture.h"

#include "app_state.h"
#include "detail_window.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_sort.h"
#include "main_window.h"
#include "resource.h"
#include "tree_model.h"
#include "wide_text.h"

namespace {

using Texts = std::vector<std::string>;

class ViewsWindowTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start(sampleCatalogue(), {IDNO});
        desktop = treeChild(app.tree, nullptr, 0);
        xinghe = treeChild(app.tree, desktop, 0);
        huatuo = treeChild(app.tree, desktop, 1);
        printers = treeChild(app.tree, nullptr, 1);
        if (openBrands)
            for (HTREEITEM brand : {xinghe, huatuo})
                SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(brand));
    }
    bool openBrands = true;
    HTREEITEM desktop{}, xinghe{}, huatuo{}, printers{};
};

TEST_F(ViewsWindowTest, TreeItemsTextsAndImages) {
    EXPECT_EQ(treeChildTexts(app.tree, nullptr), (Texts{"台式电脑", "打印机"}));
    EXPECT_EQ(treeChildTexts(app.tree, desktop), (Texts{"星河", "华拓"}));
    TVITEMA button{};
    button.mask = TVIF_CHILDREN;
    button.hItem = xinghe;
    SendMessageA(app.tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.cChildren, 1) << "a brand with companies can be opened";
    // A brand's companies are there once it opens.
    SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(xinghe));
    SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(printers));
    SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND,
                 reinterpret_cast<LPARAM>(treeChild(app.tree, printers, 0)));
    EXPECT_EQ(treeChildTexts(app.tree, xinghe), (Texts{"宁波智盛数码科技有限公司", "合肥佳航科技有限公司"}))
        << "the expired listing leaves no item";
    EXPECT_EQ(treeChildTexts(app.tree, treeChild(app.tree, printers, 0)),
              (Texts{"宁波智盛数码科技有限公司"}));
    EXPECT_EQ(treeItemImage(app.tree, desktop, false), 3);
    EXPECT_EQ(treeItemImage(app.tree, desktop, true), 4);
    HTREEITEM company = treeChild(app.tree, xinghe, 0);
    EXPECT_EQ(treeItemImage(app.tree, company, false), 0);
    EXPECT_EQ(treeItemImage(app.tree, company, true), 1);
    EXPECT_EQ(SendMessageA(app.tree, TVM_GETITEMHEIGHT, 0, 0), 18);
}

TEST_F(ViewsWindowTest, TopLevelListAtStartAndAddressPaths) {
    EXPECT_EQ(listColumnTitles(app.list), (Texts{"名称", "序号"}));
    EXPECT_EQ(listColumnWidth(app.list, 0), 180);
    EXPECT_EQ(listColumn(app.list, 0), (Texts{"台式电脑", "打印机"}));
    EXPECT_EQ(listColumn(app.list, 1), (Texts{"1", "2"}));

    selectTreeItem(desktop);
    EXPECT_EQ(addressText(), "→台式电脑");
    selectTreeItem(treeChild(app.tree, xinghe, 1));
    EXPECT_EQ(addressText(), "→台式电脑→星河→合肥佳航科技有限公司 0551-3 曹经理");
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 0 条信息") << "company 2 has no products";
}

TEST_F(ViewsWindowTest, CompanyGroupsOfAProductNameWithBands) {
    selectTreeItem(desktop);
    EXPECT_EQ(listState.listKind, kCompanyGroups);
    ASSERT_EQ(listColumnTitles(app.list).size(), 13u);
    EXPECT_EQ(listColumnTitles(app.list)[2], "销售公司");
    EXPECT_EQ(listColumnWidth(app.list, 6), 150);
    EXPECT_EQ(listColumn(app.list, 2),
              (Texts{"宁波智盛数码科技有限公司", "合肥佳航科技有限公司", "南京嘉图电脑有限公司"}));
    EXPECT_EQ(listColumn(app.list, 0), (Texts{"台式电脑", "台式电脑", "台式电脑"}));
    EXPECT_EQ(listColumn(app.list, 1), (Texts{"星河", "星河", "华拓"}));
    EXPECT_EQ(listCell(app.list, 0, 6), "www.zhisheng.example");
    EXPECT_EQ(listCell(app.list, 0, 8), "上海路1号");
    // Column 1 is painted in the groups' bands, the others plain.
    EXPECT_EQ(cellBackground(0, 1), drawing.rowColours[0]);
    EXPECT_EQ(cellBackground(2, 1), drawing.rowColours[1]);
    EXPECT_EQ(cellBackground(2, 2), RGB(255, 255, 255));
    EXPECT_EQ(cellTextColour(0, 6), RGB(0, 0, 255)) << "web cells are links";
    EXPECT_EQ(cellTextColour(2, 7), RGB(0, 0, 255)) << "also when empty";
    EXPECT_EQ(cellTextColour(0, 5), RGB(0, 0, 0));
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 3 条信息");
}

TEST_F(ViewsWindowTest, ABrandListsItsValidCompaniesAndAClickMakesOneCurrent) {
    selectTreeItem(xinghe);
    EXPECT_EQ(listState.listKind, kCompanies);
    EXPECT_EQ(listColumn(app.list, 2), (Texts{"宁波智盛数码科技有限公司", "合肥佳航科技有限公司"}));
    EXPECT_EQ(cellBackground(0, 1), RGB(255, 255, 255)) << "no sorted column";
    EXPECT_EQ(currentCompany, kNoCompany);
    clickListRow(1);
    EXPECT_EQ(currentCompany, 2) << "the row's own listing";
    clickListRow(0);
    EXPECT_EQ(currentCompany, 0);
    clickListRow(-1);
    EXPECT_EQ(currentCompany, kNoCompany);
}

void pressKey(UINT key) {
    SendMessageA(app.list, WM_KEYDOWN, key, 1);
    SendMessageA(app.list, WM_KEYUP, key, 0xC0000001);
}

TEST_F(ViewsWindowTest, TheHighlightedRowIsTheCurrentCompanyHoweverItGotThere) {
    selectTreeItem(desktop); // 宁波智盛 (company 0), 合肥佳航 (2), 南京嘉图 (3)
    SetFocus(app.list);
    pressKey(VK_END);
    EXPECT_EQ(currentCompany, 3) << "End";
    pressKey(VK_HOME);
    EXPECT_EQ(currentCompany, 0) << "Home";
    pressKey(VK_DOWN);
    EXPECT_EQ(currentCompany, 2) << "Down";
    // A sort by name puts 合肥佳航 first: the highlight goes with it.
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    EXPECT_EQ(highlightedRow(app.list), 0);
    EXPECT_EQ(currentCompany, 2);
    pressKey(VK_DOWN);
    EXPECT_EQ(listCell(app.list, highlightedRow(app.list), 2), "南京嘉图电脑有限公司");
    EXPECT_EQ(currentCompany, 3);

    // The details and the note are the highlighted company's.
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
    EXPECT_EQ(detailWindowCompanies(), (std::vector<int>{3}));
    for (HWND w; (w = FindWindowExA(nullptr, nullptr, "DetailClass", nullptr));)
        DestroyWindow(w);
    std::string noteCompany;
    dialogDriver = [&](HWND dialog) {
        noteCompany = dialogItemText(dialog, IDC_NOTE_COMPANY);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_NOTE_WRITE, 0);
    EXPECT_EQ(noteCompany, "南京嘉图电脑有限公司");

    // No row highlighted (a click on empty space takes the selection away): no company.
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(app.list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
    EXPECT_EQ(currentCompany, kNoCompany);
}

TEST_F(ViewsWindowTest, ACompanysProductsWithPrices) {
    selectTreeItem(treeChild(app.tree, xinghe, 0));
    EXPECT_EQ(listState.listKind, kProducts);
    EXPECT_EQ(currentCompany, 0);
    EXPECT_EQ(listColumnTitles(app.list),
              (Texts{"品名", "品牌", "型号", "配置", "单价", "单位", "产地", "备注", "序号"}));
    EXPECT_EQ(listColumn(app.list, 2), (Texts{"XH-100", "XH-300", "CY-1", "TOP"}))
        << "an expired product is passed over";
    EXPECT_EQ(listColumn(app.list, 4), (Texts{"￥3999.00", "￥12.30", "电询", "￥30000000.00"}));
    EXPECT_EQ(listColumn(app.list, 0), (Texts{"台式电脑", "台式电脑", "打印机", ""}));
    EXPECT_EQ(listColumn(app.list, 1), (Texts{"星河", "星河", "彩印", "台式电脑"}));
    EXPECT_EQ(listColumn(app.list, 8), (Texts{"1", "2", "3", "4"}));
    LVCOLUMNA price{};
    price.mask = LVCF_FMT;
    SendMessageA(app.list, LVM_GETCOLUMNA, 4, reinterpret_cast<LPARAM>(&price));
    EXPECT_EQ(price.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    EXPECT_EQ(cellBackground(0, 0), drawing.rowColours[0]) << "column 0 is the sorted one";
    EXPECT_EQ(cellBackground(2, 0), drawing.rowColours[2]);
    EXPECT_EQ(cellTextColour(0, 6), RGB(0, 0, 0)) << "no links in a product list";
    notifyFromList(NM_CLICK, 0);
    EXPECT_EQ(currentCompany, kNoCompany);
}

TEST_F(ViewsWindowTest, ColumnClicksSortAndColourTheColumn) {
    selectTreeItem(desktop);
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    EXPECT_EQ(listColumn(app.list, 2),
              (Texts{"合肥佳航科技有限公司", "南京嘉图电脑有限公司", "宁波智盛数码科技有限公司"}));
    EXPECT_EQ(cellBackground(0, 2), drawing.rowColours[0]);
    EXPECT_EQ(cellBackground(1, 2), drawing.rowColours[1]);
    EXPECT_EQ(cellBackground(0, 1), RGB(255, 255, 255));
    clickListRow(0);
    EXPECT_EQ(currentCompany, 2) << "rows carry their companies with them";
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    EXPECT_EQ(listCell(app.list, 0, 2), "宁波智盛数码科技有限公司");
    EXPECT_EQ(cellBackground(0, 2), drawing.rowColours[3]) << "descending starts at colour 3";
}

TEST_F(ViewsWindowTest, SortKeysOrderTextsAsTheChineseLocaleDoes) {
    const Texts texts = {
        "",          "a",    "A",        "ab",        "a-b",           "ab-",      "b",        "B1",
        "b10",       "b2",   "Zeta",     "ｔｃｌ",    "ＴＣＬ",        "tcl",      "1",        "10",
        "2",         " 2",   "台式电脑", "打印机",    "宁波智盛",      "合肥佳航", "南京嘉图", "公司11199",
        "公司10000", "电询", "￥12.30",  "￥3999.00", "www.a.example", "-"};
    ASSERT_NE(textSortKey, nullptr);
    std::string differs;
    for (const std::string& a : texts)
        for (const std::string& b : texts) {
            int byKey = textSortKey(a.c_str()).compare(textSortKey(b.c_str()));
            std::wstring wideA = widenGbk(a.c_str()), wideB = widenGbk(b.c_str());
            // The Chinese locale's order whatever the user's; on a Chinese system, lstrcmpA's.
            int byLocale = CompareStringW(kChineseLocale, 0, wideA.c_str(), int(wideA.size()), wideB.c_str(),
                                          int(wideB.size())) -
                           CSTR_EQUAL;
            int byText = GetACP() == 936 ? lstrcmpA(a.c_str(), b.c_str()) : byLocale;
            int sign = (byKey > 0) - (byKey < 0);
            if (differs.empty() &&
                (sign != (byText > 0) - (byText < 0) || sign != (byLocale > 0) - (byLocale < 0)))
                differs = a + " | " + b;
        }
    EXPECT_EQ(differs, "") << "the first pair the keys order otherwise than the Chinese locale";
}

TEST_F(ViewsWindowTest, DoubleClickAndEnterOpenTheRowInTheTree) {
    selectTreeItem(desktop);
    notifyFromList(NM_DBLCLK, 2);
    EXPECT_EQ(SendMessageA(app.tree, TVM_GETNEXTITEM, TVGN_CARET, 0),
              reinterpret_cast<LRESULT>(treeChild(app.tree, huatuo, 0)));
    EXPECT_EQ(listState.listKind, kProducts);
    EXPECT_EQ(currentCompany, 3);
    notifyFromList(NM_DBLCLK, 0);
    EXPECT_EQ(listState.listKind, kProducts) << "a product row opens nothing";

    SetFocus(app.list);
    EXPECT_EQ(focusedPane, kListPane);
    selectTreeItem(desktop);
    clickListRow(1);
    SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_ENTER, 1), 0);
    EXPECT_EQ(addressText(), "→台式电脑→星河→合肥佳航科技有限公司 0551-3 曹经理");

    SetFocus(app.tree);
    EXPECT_EQ(focusedPane, kTreePane);
    selectTreeItem(printers);
    SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_ENTER, 1), 0);
    EXPECT_TRUE(SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(printers), TVIS_EXPANDED) &
                TVIS_EXPANDED);
    SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_ENTER, 1), 0);
    EXPECT_TRUE(SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(printers), TVIS_EXPANDED) &
                TVIS_EXPANDED)
        << "an expanded node stays expanded";
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_COLLAPSE, 0);
    EXPECT_FALSE(SendMessageA(app.tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(printers), TVIS_EXPANDED) &
                 TVIS_EXPANDED);
}

TEST_F(ViewsWindowTest, CategoryNumbersSortNumerically) {
    Catalogue many = sampleCatalogue();
    for (int i = 0; i < 10; ++i)
        many.treeNodes.push_back({-1, 3});
    DestroyWindow(app.mainWindow);
    start(many);
    ASSERT_EQ(listRowCount(app.list), 12);
    notifyFromList(LVN_COLUMNCLICK, -1, 1);
    notifyFromList(LVN_COLUMNCLICK, -1, 1);
    notifyFromList(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(listState.sortAscending, true);
    EXPECT_EQ(listCell(app.list, 1, 1), "2");
    EXPECT_EQ(listCell(app.list, 9, 1), "10");
}

TEST_F(ViewsWindowTest, ContextMenusByListKindAndViewMarks) {
    EXPECT_FALSE(showListContextMenu(app.tree, MAKELPARAM(10, 10))) << "no menu for the tree";
    EXPECT_EQ(contextMenuForListKind(listState.listKind), IDR_LISTMENU);
    selectTreeItem(xinghe);
    EXPECT_EQ(contextMenuForListKind(listState.listKind), IDR_COMPANYMENU);
    selectTreeItem(desktop);
    EXPECT_EQ(contextMenuForListKind(listState.listKind), IDR_COMPANYMENU);
    selectTreeItem(treeChild(app.tree, xinghe, 0));
    EXPECT_EQ(contextMenuForListKind(listState.listKind), IDR_LISTMENU);
    EXPECT_EQ(contextMenuForListKind(kNotebook), IDR_NOTEBOOKMENU);

    HMENU bar = GetMenu(app.mainWindow);
    SendMessageA(app.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 2)), 2);
    EXPECT_TRUE(GetMenuState(bar, IDM_VIEW_REPORT, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(bar, IDM_VIEW_ICON, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_VIEW_SMALLICON, 0);
    EXPECT_EQ(GetWindowLongA(app.list, GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);
    SendMessageA(app.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 2)), 2);
    EXPECT_TRUE(GetMenuState(bar, IDM_VIEW_SMALLICON, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(bar, IDM_VIEW_REPORT, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_VIEW_REPORT, 0);
    EXPECT_EQ(GetWindowLongA(app.list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    // Ids outside the table change nothing.
    SendMessageA(app.mainWindow, WM_COMMAND, 104, 0);
    SendMessageA(app.mainWindow, WM_COMMAND, 121, 0);
    EXPECT_TRUE(IsWindow(app.mainWindow));
}

TEST_F(ViewsWindowTest, MenuBarAndContextMenuTexts) {
    HMENU bar = GetMenu(app.mainWindow);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    auto itemText = [](HMENU menu, UINT id, UINT flag) { return menuItemText(menu, id, flag); };
    EXPECT_EQ(itemText(bar, 0, MF_BYPOSITION), "操作(&O)");
    EXPECT_EQ(itemText(bar, 3, MF_BYPOSITION), "关于(&A)");
    EXPECT_EQ(GetMenuItemID(bar, 3), UINT(IDM_ABOUT));
    EXPECT_EQ(itemText(bar, IDM_VIEW_REPORT, MF_BYCOMMAND), "详细资料");
    HMENU list = LoadMenuA(app.instance, MAKEINTRESOURCEA(IDR_LISTMENU));
    EXPECT_EQ(itemText(GetSubMenu(list, 0), IDM_VIEW_REPORT, MF_BYCOMMAND), "详情资料");
    DestroyMenu(list);
    HMENU company = LoadMenuA(app.instance, MAKEINTRESOURCEA(IDR_COMPANYMENU));
    EXPECT_EQ(itemText(GetSubMenu(company, 0), IDM_NOTE_WRITE, MF_BYCOMMAND), "写入“我的记事本”");
    DestroyMenu(company);
}

} // namespace

namespace {

class UnopenedTreeTest : public ViewsWindowTest {
  protected:
    UnopenedTreeTest() { openBrands = false; }
};

TEST_F(UnopenedTreeTest, ABrandsListWorksBeforeTheBrandWasOpened) {
    selectTreeItem(xinghe);
    ASSERT_EQ(listRowCount(app.list), 2);
    clickListRow(1);
    EXPECT_EQ(currentCompany, 2);
    notifyFromList(NM_DBLCLK, 1);
    EXPECT_EQ(addressText(), "→台式电脑→星河→合肥佳航科技有限公司 0551-3 曹经理");
    EXPECT_EQ(treeChildTexts(app.tree, xinghe), (Texts{"宁波智盛数码科技有限公司", "合肥佳航科技有限公司"}));
    selectTreeItem(desktop);
    EXPECT_EQ(listRowCount(app.list), 3) << "a product name's groups";
    EXPECT_EQ(treeChildTexts(app.tree, huatuo), (Texts{"南京嘉图电脑有限公司"}));
}

TEST_F(ProgramTest, TypingANamesFirstLettersHighlightsItsCompany) {
    Catalogue c = sampleCatalogue();
    for (const char* name : {"alpha科技", "Beta电脑", "gamma"}) {
        c.companies.push_back(CompanySource{});
        c.companies.back().name = name;
        c.links.push_back({1, int32_t(c.companies.size() - 1), "", kValid});
    }
    start(c, {IDNO});
    selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0)); // 星河
    ASSERT_EQ(listRowCount(app.list), 5);
    SetFocus(app.list);
    SendMessageA(app.list, WM_CHAR, 'b', 1);
    EXPECT_EQ(highlightedRow(app.list), 3);
    EXPECT_EQ(currentCompany, 5) << "Beta电脑";
}

TEST_F(ProgramTest, AListShowsEveryRowItsNodeHasWithTheTrueCount) {
    Catalogue c = sampleCatalogue();
    for (int i = 0; i < 1200; ++i) {
        c.companies.push_back(CompanySource{});
        c.companies.back().name = "公司" + std::to_string(10000 + i);
        c.links.push_back({2, int32_t(c.companies.size() - 1), "", kValid}); // 华拓
    }
    start(c, {IDNO});
    selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 1));
    ASSERT_EQ(listRowCount(app.list), 1201);
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 1201 条信息");
    EXPECT_EQ(listCell(app.list, 1200, 2), "公司11199");
    clickListRow(1200);
    EXPECT_EQ(currentCompany, 1203);
    // Sorted by name, descending: the last company leads.
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    notifyFromList(LVN_COLUMNCLICK, -1, 2);
    EXPECT_EQ(listCell(app.list, 0, 2), "南京嘉图电脑有限公司");
    EXPECT_EQ(listCell(app.list, 1, 2), "公司11199");
    EXPECT_EQ(listCell(app.list, 1200, 2), "公司10000");
}

TEST_F(ViewsWindowTest, LinkCellsAndTheDetailWindowHandTheShellOnlyWebAndMailAddresses) {
    Catalogue c = sampleCatalogue();
    c.companies[2].website = "file:///C:/Windows/calc.exe"; // 合肥佳航, 星河's second row
    c.companies[2].email = "cao@jiahang.example";
    DestroyWindow(app.mainWindow);
    start(c, {IDNO});
    selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0));
    auto cellPoint = [](int row, int column) {
        RECT cell{LVIR_BOUNDS, column, 0, 0};
        SendMessageA(app.list, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
        return MAKELPARAM(cell.left + 4, (cell.top + cell.bottom) / 2);
    };
    for (int row : {0, 1})
        for (int column : {6, 7}) {
            // The list follows the press until the button goes up: that is waiting in the queue.
            PostMessageA(app.list, WM_LBUTTONUP, 0, cellPoint(row, column));
            SendMessageA(app.list, WM_LBUTTONDOWN, MK_LBUTTON, cellPoint(row, column));
        }
    EXPECT_EQ(shellTargets, (Texts{"http://www.zhisheng.example", "mailto:sales@zhisheng.example",
                                   "mailto:cao@jiahang.example"}));
    SendMessageA(app.list, WM_MOUSEMOVE, 0, cellPoint(0, 6));
    EXPECT_EQ(GetCursor(), drawing.handCursor);
    SendMessageA(app.list, WM_MOUSEMOVE, 0, cellPoint(1, 6));
    EXPECT_EQ(GetCursor(), drawing.arrowCursor) << "a file address is no link";

    ASSERT_EQ(currentCompany, 2);
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
    HWND detail = FindWindowExA(nullptr, nullptr, "DetailClass", nullptr);
    RECT links[2];
    ASSERT_TRUE(detailLinkRects(detail, links));
    shellTargets.clear();
    SendMessageA(detail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(links[0].left, links[0].top + 1));
    SendMessageA(detail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(links[1].left, links[1].top + 1));
    EXPECT_EQ(shellTargets, (Texts{"mailto:cao@jiahang.example"}));
    DestroyWindow(detail);
}

} // namespace
