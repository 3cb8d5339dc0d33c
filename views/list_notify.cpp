// List notifications: cell texts, clicks and the current company, sorting, custom draw with
// band colours and link cells, and the hand cursor and shell hand-off of the link cells.
#include "list_notify.h"

#include <cwchar>
#include <string>

#include "app_state.h"
#include "boundary.h"
#include "gbktext.h"
#include "image_lists.h"
#include "list_rows.h"
#include "list_sort.h"
#include "list_view.h"
#include "resource.h"
#include "tree_model.h"
#include "web_link.h"
#include "wide_text.h"

WNDPROC previousListProc = nullptr;

namespace {

bool linkFontSelected = false;
HGDIOBJ fontBeforeLink = nullptr;

bool isCompanyList() {
    return listState.listKind == kCompanies || listState.listKind == kCompanyGroups;
}

const ListRow* rowAt(int row) {
    ListRow* table = rowTable();
    return table && row >= 0 && row < listState.rowCount ? &table[row] : nullptr;
}

LRESULT onCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const ListRow* row = rowAt(int(draw->nmcd.dwItemSpec));
        uint8_t band = row && row->bandColour < kPlainBand ? row->bandColour : kPlainBand;
        draw->clrTextBk = drawing.rowColours[draw->iSubItem == listState.sortColumn ? band : kPlainBand];
        if (isCompanyList() && (draw->iSubItem == 6 || draw->iSubItem == 7)) {
            draw->clrText = kLinkColour;
            if (!linkFontSelected) {
                fontBeforeLink = SelectObject(draw->nmcd.hdc, drawing.linkFont.get());
                linkFontSelected = true;
            }
        } else {
            draw->clrText = drawing.rowColours[11];
            if (linkFontSelected) {
                SelectObject(draw->nmcd.hdc, fontBeforeLink);
                linkFontSelected = false;
            }
        }
        // The control draws the cell with the font now selected and these colours.
        return CDRF_NEWFONT;
    }
    default: return 0;
    }
}

// The company of a row of a company list; none for any other row.
int32_t companyOfRow(int row) {
    const ListRow* target = isCompanyList() ? rowAt(row) : nullptr;
    return target ? companyOfTreeItem(target->treeItem) : kNoCompany;
}

// The current company as the list's highlight says. A product list's is the company listed,
// whatever the keys and the focus do. A company list's is that of the row the commands act on
// (highlightedRow), whether the highlight or the focus moved. In the other lists a new
// highlight makes none current and a focus move alone leaves it.
void followHighlight(HWND list, bool highlightChanged) {
    if (listState.listKind == kProducts) return;
    if (isCompanyList())
        currentCompany = companyOfRow(highlightedRow(list));
    else if (highlightChanged)
        currentCompany = kNoCompany;
}

// A click anywhere but on a company list's row leaves no company current, a product list's too.
void onClick(const NMITEMACTIVATE* click) {
    if (listState.listKind == kProducts)
        currentCompany = kNoCompany;
    else
        followHighlight(click->hdr.hwndFrom, true);
}

// One row's states (iItem -1: every row's at once), however they changed: keys, type-ahead, a
// click.
void onItemChanged(const NMLISTVIEW* change) {
    if (rowStatesSettling || !(change->uChanged & LVIF_STATE)) return;
    const UINT changed = change->uOldState ^ change->uNewState;
    if (change->iItem >= 0 && !(changed & (LVIS_FOCUSED | LVIS_SELECTED))) return;
    followHighlight(change->hdr.hwndFrom, change->iItem < 0 || (changed & LVIS_SELECTED));
}

// A range of rows highlighted at once (Shift with a key or a click): one notification for the
// range, sent before or after the focus moves. The company is read from the control's states,
// so the order of the two does not matter.
void onRangeChanged(const NMLVODSTATECHANGE* change) {
    if (rowStatesSettling) return;
    const UINT changed = change->uOldState ^ change->uNewState;
    if (!(changed & (LVIS_FOCUSED | LVIS_SELECTED))) return;
    followHighlight(change->hdr.hwndFrom, changed & LVIS_SELECTED);
}

// Type-ahead: the next row from start whose label begins with the typed text, in any case, as
// the Chinese locale compares them whatever the system's; -1 none. A company list's label is
// the company's name: its first column, the product name, is the same in every row.
LRESULT findRowByLabel(UINT flags, const wchar_t* typed, int start) {
    const ListRow* table = rowTable();
    const int count = table ? listState.rowCount : 0;
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || !typed || count == 0) return -1;
    const int length = int(std::wcslen(typed));
    if (start < 0 || start >= count) start = 0;
    for (int step = 0; step < count; ++step) {
        int r = start + step;
        if (r >= count) {
            if (!(flags & LVFI_WRAP)) return -1;
            r -= count;
        }
        wchar_t label[kCellSize];
        int labelLength = widenGbkInto(table[r].cells[isCompanyList() ? 2 : 0], label, kCellSize);
        int compared = flags & LVFI_PARTIAL ? length : labelLength;
        if (labelLength < compared) continue;
        if (CompareStringW(kChineseLocale, NORM_IGNORECASE, label, compared, typed, length) == CSTR_EQUAL)
            return r;
    }
    return -1;
}

LRESULT onFindItem(const NMHDR* header) {
    if (header->code == LVN_ODFINDITEMA) {
        const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
        if (!find->lvfi.psz) return -1;
        return findRowByLabel(find->lvfi.flags, widenSystemCodePage(find->lvfi.psz).c_str(), find->iStart);
    }
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
    return findRowByLabel(find->lvfi.flags, find->lvfi.psz, find->iStart);
}

void onColumnClick(const NMLISTVIEW* click) {
    int column = click->iSubItem;
    listState.sortAscending = column == listState.sortColumn ? !listState.sortAscending : true;
    sortRows(click->hdr.hwndFrom, column, listState.sortAscending);
}

// What the shell is given for a link cell; empty: the cell is no link.
std::string linkTargetOfCell(int column, const char* text) {
    return column == 7 ? mailLinkTarget(text) : webLinkTarget(text);
}

void openLinkCell(HWND list, LPARAM lParam) {
    int row;
    int column = linkCellAt(list, short(LOWORD(lParam)), short(HIWORD(lParam)), &row);
    if (column >= 0) shellOpen(list, linkTargetOfCell(column, rowTable()[row].cells[column]).c_str());
}

} // namespace

void clearLinkFontSelection() {
    linkFontSelected = false;
    fontBeforeLink = nullptr;
}

int highlightedRow(HWND list) {
    int focused = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (focused >= 0 && focused < listState.rowCount &&
        (SendMessageA(list, LVM_GETITEMSTATE, WPARAM(focused), LVIS_SELECTED) & LVIS_SELECTED))
        return focused;
    int first = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    return first >= 0 && first < listState.rowCount ? first : -1;
}

int linkCellAt(HWND list, int x, int y, int* row) {
    if (!isCompanyList()) return -1;
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const ListRow* hitRow = rowAt(hit.iItem);
    // A cell the shell is not given (empty, or not an address) shows no hand and opens nothing,
    // though it is painted as a link like the others of its column.
    if (!hitRow || (hit.iSubItem != 6 && hit.iSubItem != 7) ||
        linkTargetOfCell(hit.iSubItem, hitRow->cells[hit.iSubItem]).empty())
        return -1;
    *row = hit.iItem;
    return hit.iSubItem;
}

LRESULT listNotify(const NMHDR* header, HWND tree) {
    auto* mutableHeader = const_cast<NMHDR*>(header);
    switch (header->code) {
    case LVN_GETDISPINFOA: serveCellText(reinterpret_cast<NMLVDISPINFOA*>(mutableHeader)); return 0;
    case LVN_GETDISPINFOW: serveCellText(reinterpret_cast<NMLVDISPINFOW*>(mutableHeader)); return 0;
    case LVN_COLUMNCLICK: onColumnClick(reinterpret_cast<const NMLISTVIEW*>(header)); return 0;
    case NM_CUSTOMDRAW: return onCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(mutableHeader));
    case NM_SETFOCUS: focusedPane = kListPane; return 0;
    case NM_KILLFOCUS: focusedPane = kFocusLost; return 0;
    case NM_CLICK:
    case NM_RCLICK: onClick(reinterpret_cast<const NMITEMACTIVATE*>(header)); return 0;
    case NM_DBLCLK: openRowInTree(tree, reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem); return 0;
    case LVN_ITEMCHANGED: onItemChanged(reinterpret_cast<const NMLISTVIEW*>(header)); return 0;
    case LVN_ODSTATECHANGED: onRangeChanged(reinterpret_cast<const NMLVODSTATECHANGE*>(header)); return 0;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: return onFindItem(header);
    // The rows own nothing the control holds: no notification for each deleted item is needed.
    case LVN_DELETEALLITEMS: return TRUE;
    default: return 0;
    }
}

namespace {

LRESULT listMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && isCompanyList()) {
        int row;
        bool onLink = linkCellAt(list, short(LOWORD(lParam)), short(HIWORD(lParam)), &row) >= 0;
        SetCursor(onLink ? drawing.handCursor : drawing.arrowCursor);
    } else if (message == WM_LBUTTONDOWN && isCompanyList()) {
        openLinkCell(list, lParam);
    } else if (message == WM_NCDESTROY) {
        LRESULT result = CallWindowProcW(previousListProc, list, message, wParam, lParam);
        forgetImageLists();
        return result;
    }
    return CallWindowProcW(previousListProc, list, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return atBoundary(LRESULT(0), [&] { return listMessage(list, message, wParam, lParam); });
}

namespace {

void setRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace

void sortRows(HWND list, int column, bool ascending) {
    // The control keeps the highlight by position: it moves with the rows to their new places.
    const int focused = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    const int mark = int(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
    const bool allSelected =
        listState.rowCount > 0 && SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == listState.rowCount;
    std::vector<int> selected;
    for (int r = -1;
         !allSelected && (r = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(r), LVNI_SELECTED))) >= 0;)
        selected.push_back(r);

    std::vector<int> moved = sortRowTable(column, ascending);
    std::vector<int> placeOf(moved.size());
    for (size_t r = 0; r < moved.size(); ++r)
        placeOf[size_t(moved[r])] = int(r);
    auto place = [&](int old) {
        return old >= 0 && size_t(old) < placeOf.size() ? placeOf[size_t(old)] : -1;
    };
    {
        SettlingRowStates settling;
        if (!allSelected) {
            setRowState(list, -1, 0, LVIS_SELECTED);
            for (int r : selected)
                if (place(r) >= 0) setRowState(list, place(r), LVIS_SELECTED, LVIS_SELECTED);
        }
        if (place(focused) >= 0) {
            setRowState(list, place(focused), LVIS_FOCUSED, LVIS_FOCUSED);
            SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(place(focused)), FALSE);
        }
        if (place(mark) >= 0) SendMessageA(list, LVM_SETSELECTIONMARK, 0, place(mark));
    }
    // The first of several highlighted rows may be another one now.
    followHighlight(list, false);
    InvalidateRect(list, nullptr, TRUE);
}

void openRowInTree(HWND tree, int row) {
    const ListRow* target = rowAt(row);
    if (!target || listState.listKind == kProducts || listState.listKind == kNotebook || !target->treeItem)
        return;
    auto item = reinterpret_cast<LPARAM>(target->treeItem);
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, item);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, item);
}
