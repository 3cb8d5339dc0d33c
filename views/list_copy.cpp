// The list's rows as text on the clipboard. The cells are read from the row table, which holds
// them in the order shown; the highlighted rows are asked of the control.
#include "list_copy.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "list_export.h"
#include "list_rows.h"
#include "wide_text.h"

namespace {

// The clipboard, open for as long as this lives. Clipboard managers and remote desktop clients
// hold it for a moment after every change, so the opening tries again for about 100 ms before
// it gives up.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) {
        const DWORD start = GetTickCount();
        while (!(open_ = OpenClipboard(owner) != 0) && GetTickCount() - start < 100)
            Sleep(5);
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_ = false;
};

// The clipboard owns the memory once SetClipboardData has taken it; until then it is ours.
bool putClipboardBytes(UINT format, const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory)) return true;
    GlobalFree(memory);
    return false;
}

// The highlighted rows, the ones every command acts on; the focus rectangle alone is no row.
std::vector<int> rowsToCopy(HWND list) {
    std::vector<int> rows;
    for (int at = -1;;) {
        at = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(at), LVNI_SELECTED));
        if (at < 0 || at >= listState.rowCount) break;
        rows.push_back(at);
    }
    return rows;
}

} // namespace

std::vector<std::string> listTitles(HWND list) {
    auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int count = header ? int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<std::string> titles;
    for (int column = 0; column < count && column < kCellCount; ++column) {
        // The titles were given in UTF-16 from GBK; read back the same way they are the GBK again.
        wchar_t title[kCellSize] = {};
        LVCOLUMNW request{};
        request.mask = LVCF_TEXT;
        request.pszText = title;
        request.cchTextMax = int(kCellSize);
        SendMessageW(list, LVM_GETCOLUMNW, WPARAM(column), reinterpret_cast<LPARAM>(&request));
        title[kCellSize - 1] = L'\0';
        std::string gbk;
        narrowToGbk(title, std::wcslen(title), gbk);
        titles.push_back(std::move(gbk));
    }
    return titles;
}

std::vector<std::string> listRowCells(int row, size_t columnCount) {
    std::vector<std::string> cells;
    const ListRow* table = rowTable();
    if (!table || row < 0 || row >= listState.rowCount) return cells;
    for (size_t column = 0; column < columnCount && column < size_t(kCellCount); ++column)
        cells.emplace_back(table[row].cells[column], strnlen(table[row].cells[column], kCellSize));
    return cells;
}

bool copyListRows(HWND list, HWND owner) {
    std::vector<std::string> titles = listTitles(list);
    std::vector<std::vector<std::string>> rows;
    for (int row : rowsToCopy(list))
        rows.push_back(listRowCells(row, titles.size()));
    // Nothing highlighted: the clipboard keeps what it has.
    if (rows.empty()) return true;
    std::string text = listToTabText(titles, rows);
    std::wstring wide = widenGbk(text.data(), text.size());
    std::string html = listToClipboardHtml(titles, rows, utf8OfGbk);
    // Programs that read only the ANSI form get it in the system's code page (GBK on a Chinese
    // system), with the locale that names it.
    const std::string ansi = systemCodePageText(wide);
    const LCID locale = GetSystemDefaultLCID();
    // The richest form first: a spreadsheet takes the table, whose cells it keeps as text.
    static const UINT htmlFormat = RegisterClipboardFormatA("HTML Format");
    bool copied = false;
    if (OpenedClipboard clipboard{owner}) {
        copied = EmptyClipboard() &&
                 (!htmlFormat || putClipboardBytes(htmlFormat, html.c_str(), html.size() + 1)) &&
                 putClipboardBytes(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)) &&
                 putClipboardBytes(CF_TEXT, ansi.c_str(), ansi.size() + 1) &&
                 putClipboardBytes(CF_LOCALE, &locale, sizeof locale);
    }
    if (!copied) gbkMessageBox(owner, "无法把选中的行复制到剪贴板。", "复制", MB_OK | MB_ICONWARNING);
    return copied;
}

void selectAllRows(HWND list) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&state));
}
