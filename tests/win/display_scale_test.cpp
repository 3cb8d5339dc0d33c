// The layout at the screen's DPI, read back from the real controls: every size written for 96
// DPI is scaled, fonts and pictures with it, and the window fits the screen's work area.
// tests/win/display_scale_test.sh runs these at 96, 120, 144 and 192 DPI; a move to a monitor of
// another scale is the WM_DPICHANGED that Wine never sends by itself.
#include "program_fixture.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app_state.h"
#include "detail_window.h"
#include "display_scale.h"
#include "image_lists.h"
#include "resource.h"

namespace {

class DisplayScaleTest : public ProgramTest {
  protected:
    void openDetailsOfFirstCompany() {
        HTREEITEM brand = treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0);
        SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(brand));
        selectTreeItem(treeChild(app.tree, brand, 0));
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_DETAILS, 0);
    }
    // What the layout shows at dpi, each size beside its 96-DPI value scaled (within rounding).
    void expectLayoutAt(int dpi) {
        auto s = [dpi](int size) { return MulDiv(size, dpi, 96); };
        LOGFONTW font{};
        GetObjectW(drawing.normalFont.get(), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -s(13)) << "the program's font";
        int side = 0, unused = 0;
        ImageList_GetIconSize(smallImageList, &side, &unused);
        EXPECT_EQ(side, smallImageSide(dpi));
        EXPECT_NEAR(side, s(16), 2) << "pictures drawn for the scale, hardly stretched";

        RECT client{};
        GetClientRect(app.mainWindow, &client);
        RECT rebar{}, tree = childRect(app.tree), list = childRect(app.list);
        GetClientRect(app.rebar, &rebar);
        const int split = client.right / 3 + s(3);
        EXPECT_EQ(tree.left, -s(1));
        EXPECT_EQ(tree.top, rebar.bottom + s(6));
        EXPECT_EQ(tree.right - tree.left, split - s(2));
        EXPECT_EQ(list.left, split - s(1));
        EXPECT_EQ(list.right, client.right + s(3) - s(1));
        EXPECT_EQ(SendMessageA(app.tree, TVM_GETITEMHEIGHT, 0, 0), s(18));
        // The detail window of the brand's first company (one already open, or opened now): its
        // size, lines and links scaled, and all of it on the screen.
        HWND detail = FindWindowExA(nullptr, nullptr, "DetailClass", nullptr);
        if (!detail) {
            openDetailsOfFirstCompany();
            detail = FindWindowExA(nullptr, nullptr, "DetailClass", nullptr);
        }
        ASSERT_NE(detail, nullptr);
        RECT place{}, links[2]{}, work{};
        GetWindowRect(detail, &place);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_EQ(place.right - place.left, s(355));
        EXPECT_EQ(place.bottom - place.top, std::min(s(480), int(work.bottom - work.top)));
        EXPECT_GE(place.top, work.top);
        EXPECT_LE(place.bottom, work.bottom);
        HDC detailDc = GetDC(detail);
        RECT detailClient{};
        GetClientRect(detail, &detailClient);
        std::vector<DetailLine> lines = detailLines(detailDc, detailCompany(detail), detailClient);
        ReleaseDC(detail, detailDc);
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[0].y, s(18));
        EXPECT_EQ(lines[11].x, s(45));
        EXPECT_EQ(lines[11].y, s(240 + 17 * 11));
        ASSERT_TRUE(detailLinkRects(detail, links));
        EXPECT_EQ(links[0].left, s(83));
        EXPECT_EQ(links[1].top, s(361));
        closeDetailWindows();
        selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0));
        for (int column : {0, 1, 2})
            EXPECT_EQ(listColumnWidth(app.list, column), s(std::array{90, 65, 150}[size_t(column)]))
                << "column " << column;
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(app.list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        EXPECT_NEAR(row.bottom - row.top, s(17), 2) << "the list's rows";

        HWND commands = GetDlgItem(app.rebar, IDC_TOOLBAR);
        EXPECT_NEAR(HIWORD(SendMessageA(commands, TB_GETBUTTONSIZE, 0, 0)), s(22), 1) << "toolbar buttons";
        // The band's borders are the system's, unscaled: a pixel or two per step of scale.
        EXPECT_NEAR(int(SendMessageA(app.rebar, RB_GETROWHEIGHT, 0, 0)), s(26), s(2) + 1)
            << "the rebar's first row";
        // The status bar's parts hold their texts whole: as wide and as high as their font needs.
        int edges[3] = {};
        SendMessageA(app.statusBar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
        RECT status{};
        GetClientRect(app.statusBar, &status);
        HDC dc = GetDC(app.statusBar);
        HGDIOBJ before =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(app.statusBar, WM_GETFONT, 0, 0)));
        SIZE text{};
        const wchar_t* longest = L"Kovanta 商情工作室  电话：010-6200 0000";
        GetTextExtentPoint32W(dc, longest, int(std::wcslen(longest)), &text);
        SelectObject(dc, before);
        ReleaseDC(app.statusBar, dc);
        EXPECT_GE(status.bottom, text.cy + 2) << "the status bar as high as its font";
        EXPECT_GE(edges[0], text.cx) << "the first part as wide as its text";
    }
};

TEST_F(DisplayScaleTest, TheMainWindowAndItsPanesScaleWithTheScreensDpi) {
    const int dpi = screenDpi();
    std::printf("screen DPI %d\n", dpi);
    start(sampleCatalogue(), {IDNO});
    EXPECT_EQ(layoutDpi(), dpi);
    RECT window{}, work{};
    GetWindowRect(app.mainWindow, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(window.right - window.left, std::min(MulDiv(750, dpi, 96), int(work.right - work.left)));
    EXPECT_EQ(window.bottom - window.top, std::min(MulDiv(550, dpi, 96), int(work.bottom - work.top)));
    expectLayoutAt(dpi);
    saveWindowPicture(app.mainWindow, ("layout-" + std::to_string(dpi)).c_str());
}

TEST_F(DisplayScaleTest, AMoveToAMonitorOfAnotherScaleLaysEverythingOutAgain) {
    start(sampleCatalogue(), {IDNO});
    openDetailsOfFirstCompany(); // open across the move
    const int other = screenDpi() == 144 ? 96 : 144;
    // Windows suggests a rectangle on the new monitor: the window takes it as it is.
    RECT suggested{40, 30, 40 + MulDiv(700, other, 96), 30 + MulDiv(500, other, 96)};
    SendMessageW(app.mainWindow, WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(app.mainWindow, &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    EXPECT_EQ(layoutDpi(), other) << "the DPI comes from the message, not from a new query";
    expectLayoutAt(other);
    saveWindowPicture(app.mainWindow, ("moved-to-" + std::to_string(other)).c_str());
}

} // namespace
