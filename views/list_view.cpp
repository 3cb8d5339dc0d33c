// The list view, a virtual list: the control keeps only the number of rows and which are
// selected; every text and image is served from the row table, so a list of any length is
// shown at once.
#include "list_view.h"

#include <iterator>

#include "app_state.h"
#include "display_scale.h"
#include "image_lists.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_sort.h"
#include "resource.h"
#include "tree_model.h"
#include "wide_text.h"

namespace {

struct Column {
    const char* title;
    int width;
    int alignment;
};

constexpr Column kCategoryColumns[] = {{"名称", 180, LVCFMT_LEFT}, {"序号", 40, LVCFMT_LEFT}};
constexpr Column kCompanyColumns[] = {
    {"品名", 90, LVCFMT_LEFT},  {"品牌", 65, LVCFMT_LEFT},      {"销售公司", 150, LVCFMT_LEFT},
    {"电话", 130, LVCFMT_LEFT}, {"联系人", 60, LVCFMT_LEFT},    {"传真", 90, LVCFMT_LEFT},
    {"网址", 150, LVCFMT_LEFT}, {"电子邮件", 150, LVCFMT_LEFT}, {"通讯地址", 150, LVCFMT_LEFT},
    {"邮编", 70, LVCFMT_LEFT},  {"开户行", 90, LVCFMT_LEFT},    {"帐号", 120, LVCFMT_LEFT},
    {"税号", 120, LVCFMT_LEFT},
};
constexpr Column kProductColumns[] = {
    {"品名", 90, LVCFMT_LEFT},   {"品牌", 60, LVCFMT_LEFT},  {"型号", 110, LVCFMT_LEFT},
    {"配置", 130, LVCFMT_LEFT},  {"单价", 80, LVCFMT_RIGHT}, {"单位", 40, LVCFMT_CENTER},
    {"产地", 50, LVCFMT_CENTER}, {"备注", 120, LVCFMT_LEFT}, {"序号", 50, LVCFMT_CENTER},
};
// The notebook's columns, one for each field of a note in file order.
constexpr Column kNotebookColumns[] = {
    {"时间", 120, LVCFMT_LEFT},  {"单位", 150, LVCFMT_LEFT}, {"洽谈事宜", 120, LVCFMT_LEFT},
    {"提示", 100, LVCFMT_LEFT},  {"备注", 70, LVCFMT_LEFT},  {"电话", 130, LVCFMT_LEFT},
    {"联系人", 60, LVCFMT_LEFT},
};

struct ColumnList {
    const Column* columns;
    size_t count;
};

ColumnList columnsOf(ColumnSet set) {
    switch (set) {
    case ColumnSet::kCategories: return {kCategoryColumns, std::size(kCategoryColumns)};
    case ColumnSet::kCompanies: return {kCompanyColumns, std::size(kCompanyColumns)};
    case ColumnSet::kProducts: return {kProductColumns, std::size(kProductColumns)};
    case ColumnSet::kNotebook: return {kNotebookColumns, std::size(kNotebookColumns)};
    case ColumnSet::kNone: break;
    }
    return {nullptr, 0};
}

int imageOfKind(ListKind kind) {
    switch (kind) {
    case kTopCategories:
    case kSubCategories: return 3;
    case kCompanyGroups:
    case kCompanies: return 0;
    case kProducts: return 2;
    default: return 1;
    }
}

// The sort key of the Chinese (PRC) locale, whatever the user's: the texts are Chinese, and
// ranked by that locale's order (pinyin by default) on every system.
std::string localeSortKey(const char* text) {
    const std::wstring wide = widenGbk(text);
    char key[1024];
    int size = LCMapStringW(kChineseLocale, LCMAP_SORTKEY, wide.c_str(), -1, reinterpret_cast<LPWSTR>(key),
                            int(sizeof key));
    if (size > 0) return std::string(key, size_t(size));
    // Longer than any cell's key should be: ask for its size.
    size = LCMapStringW(kChineseLocale, LCMAP_SORTKEY, wide.c_str(), -1, nullptr, 0);
    std::string longer(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        LCMapStringW(kChineseLocale, LCMAP_SORTKEY, wide.c_str(), -1, reinterpret_cast<LPWSTR>(longer.data()),
                     size);
    return longer;
}

} // namespace

bool rowStatesSettling = false;

RedrawPause::RedrawPause(HWND w) : window(w), wasShown(IsWindowVisible(w)) {
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    if (wasShown) DefWindowProcA(window, WM_SETREDRAW, FALSE, 0);
}

RedrawPause::~RedrawPause() {
    // The control lays itself out while still hidden, then is shown and drawn whole.
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    if (wasShown) DefWindowProcA(window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HWND createList(HWND parent) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                                    LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | LVS_OWNERDATA,
                                0, 0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(IDC_LIST)), app.instance,
                                nullptr);
    if (!list) return nullptr;
    listState = ListState{};
    textSortKey = localeSortKey;
    previousListProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc)));
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (smallImageList && largeImageList) {
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImageList));
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImageList));
    }
    return list;
}

void insertColumn(HWND list, const char* title, int width, int position, int alignment) {
    std::wstring wideTitle = widenGbk(title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = alignment;
    column.cx = width;
    column.pszText = wideTitle.data();
    column.iSubItem = position;
    SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(position), reinterpret_cast<LPARAM>(&column));
}

void removeColumns(HWND list) {
    for (int position = int(columnsOf(listState.columns).count) - 1; position >= 0; --position)
        SendMessageA(list, LVM_DELETECOLUMN, WPARAM(position), 0);
}

void installColumnSet(HWND list, ColumnSet set) {
    if (listState.columns == set || set == ColumnSet::kNone) return;
    removeColumns(list);
    listState.columns = set;
    ColumnList installed = columnsOf(set);
    for (size_t i = 0; i < installed.count; ++i) {
        const Column& c = installed.columns[i];
        insertColumn(list, c.title, scaled(c.width), int(i), c.alignment);
    }
}

void rescaleColumns(HWND list, int fromDpi, int toDpi) {
    const int count = int(columnsOf(listState.columns).count);
    for (int position = 0; position < count; ++position) {
        int width = int(SendMessageA(list, LVM_GETCOLUMNWIDTH, WPARAM(position), 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, WPARAM(position),
                     MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
    }
}

bool insertRows(HWND list) {
    if (!rowTable()) return true;
    SettlingRowStates settling;
    return SendMessageA(list, LVM_SETITEMCOUNT, WPARAM(listState.rowCount), 0) != 0;
}

void clearRows(HWND list) {
    SettlingRowStates settling;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

void fillNodeList(HWND list, int node) {
    RedrawPause pause(list);
    clearRows(list);
    if (!fillNodeRows(node)) return;
    switch (listState.listKind) {
    case kTopCategories:
    case kSubCategories:
    case kCompanyGroups:
    case kCompanies: installColumnSet(list, columnSetOf(listState.listKind)); break;
    default: break;
    }
    insertRows(list);
}

void fillProductList(HWND list, HTREEITEM item) {
    RedrawPause pause(list);
    clearRows(list);
    installColumnSet(list, ColumnSet::kProducts);
    fillProductRows(companyOfTreeItem(item));
    insertRows(list);
}

void serveCellText(NMLVDISPINFOA* request) {
    LVITEMA& item = request->item;
    ListRow* table = rowTable();
    if (!table || item.iItem < 0 || item.iItem >= listState.rowCount) return;
    if (item.mask & LVIF_IMAGE) item.iImage = imageOfKind(listState.listKind);
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 && item.iSubItem < kCellCount)
        item.pszText = table[item.iItem].cells[item.iSubItem];
}

// The control gives a buffer with the request (a list of a Unicode window asks this way).
void serveCellText(NMLVDISPINFOW* request) {
    LVITEMW& item = request->item;
    ListRow* table = rowTable();
    if (!table || item.iItem < 0 || item.iItem >= listState.rowCount) return;
    if (item.mask & LVIF_IMAGE) item.iImage = imageOfKind(listState.listKind);
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 && item.iSubItem < kCellCount && item.pszText &&
        item.cchTextMax > 0)
        widenGbkInto(table[item.iItem].cells[item.iSubItem], item.pszText, item.cchTextMax);
}

void setViewMode(HWND list, DWORD mode) {
    LONG style = GetWindowLongA(list, GWL_STYLE);
    SetWindowLongA(list, GWL_STYLE, LONG((DWORD(style) & ~DWORD(LVS_TYPEMASK)) | mode));
}
