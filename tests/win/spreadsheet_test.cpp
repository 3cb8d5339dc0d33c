// A company list whose cells a spreadsheet would take for numbers, dates, truth values or
// formulas, saved and copied. tests/win/spreadsheet_test.sh has LibreOffice Calc open what this
// leaves in KOVANTA_SPREADSHEET_DIR and compares every cell with the list's texts.
#include <cstdlib>
#include <fstream>

#include "program_fixture.h"

#include "app_state.h"
#include "list_copy.h"
#include "list_save.h"
#include "resource.h"

namespace {

Catalogue awkwardCatalogue() {
    Catalogue c;
    c.dataName = "test";
    c.titlePart1 = "华东";
    c.titlePart2 = "电脑商情";
    c.updateDate = "2026-12-01";
    c.categories = {{"台式电脑", true}, {"星河", false}};
    c.treeNodes = {{-1, 0}, {0, 1}};
    auto company = [](std::vector<const char*> f) {
        CompanySource s;
        s.name = f[0], s.phone = f[1], s.contact = f[2], s.fax = f[3], s.website = f[4], s.email = f[5];
        s.address = f[6], s.postcode = f[7], s.bank = f[8], s.account = f[9], s.taxNumber = f[10];
        return s;
    };
    c.companies = {
        company({"=HYPERLINK(\"http://x.example\",\"点我\")", "+86-574-64706574", "@陈女士", "3-10",
                 "www.a.example", "-5", "上海路1号\t2楼", "010010", "1.5E3", "6222021202020109912",
                 "330106845253800800"}),
        company({"宁波智盛数码科技有限公司", "0574-64706574", "TRUE", "+5", "http://b.example", "a@b.example",
                 "第一行\r\n第二行", "3.10", "中国银行", "=1+1", "91330100EPE6KCQ6KN"}),
        company({"杭州信盈电脑有限公司", "12345", "3月10日", "2020.3.1", "", "", "=1+2\r\n合计", "000000",
                 "1 1/2", "12:30", "50%"})};
    c.links = {{1, 0, "", kValid}, {1, 1, "", kValid}, {1, 2, "", kValid}};
    return c;
}

std::string utf8Of(const wchar_t* text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

// The list's titles and cells as the user sees them, read as UTF-16, as JSON.
std::string shownCellsJson(HWND list) {
    auto quoted = [](const std::string& text) {
        std::string json = "\"";
        for (char c : text) {
            char escape[8];
            if (c == '"' || c == '\\')
                json += {'\\', c};
            else if (static_cast<unsigned char>(c) < 0x20)
                json.append(escape, size_t(std::snprintf(escape, sizeof escape, "\\u%04x", c)));
            else
                json += c;
        }
        return json + "\"";
    };
    std::string json = "[[";
    int columns = 0;
    for (wchar_t title[80];; ++columns) {
        LVCOLUMNW query{};
        query.mask = LVCF_TEXT;
        query.pszText = title;
        query.cchTextMax = 80;
        if (!SendMessageW(list, LVM_GETCOLUMNW, WPARAM(columns), reinterpret_cast<LPARAM>(&query))) break;
        json += (columns ? "," : "") + quoted(utf8Of(title));
    }
    json += "]";
    for (int row = 0; row < listRowCount(list); ++row) {
        json += ",\n[";
        for (int column = 0; column < columns; ++column) {
            wchar_t cell[256] = {};
            LVITEMW query{};
            query.iSubItem = column;
            query.pszText = cell;
            query.cchTextMax = 256;
            SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&query));
            json += (column ? "," : "") + quoted(utf8Of(cell));
        }
        json += "]";
    }
    return json + "]\n";
}

// The page that the clipboard's "HTML Format" holds, found through its header.
std::string clipboardHtmlPage() {
    std::string data;
    if (!OpenClipboard(nullptr)) return "(no clipboard)";
    if (HANDLE memory = GetClipboardData(RegisterClipboardFormatA("HTML Format"))) {
        data = static_cast<const char*>(GlobalLock(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    auto offset = [&data](const char* name) {
        size_t at = data.find(name);
        return at == std::string::npos ? data.size() : size_t(std::atol(data.c_str() + at + strlen(name)));
    };
    size_t start = offset("StartHTML:"), end = offset("EndHTML:");
    return start <= end && end <= data.size() ? data.substr(start, end - start) : "(no page)";
}

class SpreadsheetTest : public ProgramTest {
  protected:
    void TearDown() override {
        askExportPath = savedAsk;
        ProgramTest::TearDown();
    }
    bool (*savedAsk)(HWND, char*, size_t) = askExportPath;
};

TEST_F(SpreadsheetTest, AListSavedAndCopiedForASpreadsheetToReadBack) {
    const char* kept = std::getenv("KOVANTA_SPREADSHEET_DIR");
    static std::string folder;
    folder = kept && *kept ? kept : scratch_;
    start(awkwardCatalogue(), {IDNO});
    selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0));
    ASSERT_EQ(listRowCount(app.list), 3);
    EXPECT_EQ(listCell(app.list, 0, 11), "6222021202020109912");

    askExportPath = [](HWND, char* path, size_t capacity) {
        std::snprintf(path, capacity, "%s\\list.csv", folder.c_str());
        return true;
    };
    EXPECT_TRUE(exportList(app.list, app.mainWindow, "星河"));
    selectAllRows(app.list);
    EXPECT_TRUE(copyListRows(app.list, app.mainWindow));
    std::string page = clipboardHtmlPage();
    EXPECT_EQ(page.rfind("<html>", 0), 0u) << page;
    std::ofstream(folder + "\\clipboard.html", std::ios::binary) << page;
    std::ofstream(folder + "\\list.json", std::ios::binary) << shownCellsJson(app.list);
    EXPECT_TRUE(messages.empty());
    if (folder == scratch_)
        for (const char* name : {"list.csv", "clipboard.html", "list.json"})
            DeleteFileA((folder + "\\" + name).c_str());
}

} // namespace
