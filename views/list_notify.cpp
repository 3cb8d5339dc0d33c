// List notifications: cell texts, clicks and the current company, sorting, custom draw with
// band colours and link cells, and the hand cursor and shell hand-off of the link cells.
#include "list_notify.h"

#include <cstdio>

#include "app_state.h"
#include "image_lists.h"
#include "boundary.h"
#include "list_rows.h"
#include "list_sort.h"
#include "list_view.h"
#include "resource.h"
#include "tree_model.h"
#include "web_link.h"

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

void onClick(const NMITEMACTIVATE* click) {
    const ListRow* row = isCompanyList() ? rowAt(click->iItem) : nullptr;
    currentCompany = row ? companyOfTreeItem(row->treeItem) : kNoCompany;
}

void onColumnClick(const NMLISTVIEW* click) {
    int column = click->iSubItem;
    listState.sortAscending = column == listState.sortColumn ? !listState.sortAscending : true;
    sortRows(click->hdr.hwndFrom, column, listState.sortAscending);
}

void openLinkCell(HWND list, LPARAM lParam) {
    int row;
    int column = linkCellAt(list, short(LOWORD(lParam)), short(HIWORD(lParam)), &row);
    if (column < 0) return;
    const char* text = rowTable()[row].cells[column];
    char target[96];
    std::snprintf(target, sizeof target, column == 7 ? "mailto:%s" : "%s",
                  column == 7 ? text : webLinkTarget(text).c_str());
    shellOpen(list, target);
}

} // namespace

void clearLinkFontSelection() {
    linkFontSelected = false;
    fontBeforeLink = nullptr;
}

int linkCellAt(HWND list, int x, int y, int* row) {
    if (!isCompanyList()) return -1;
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const ListRow* hitRow = rowAt(hit.iItem);
    if (!hitRow || (hit.iSubItem != 6 && hit.iSubItem != 7) || hitRow->cells[hit.iSubItem][0] == '\0')
        return -1;
    *row = hit.iItem;
    return hit.iSubItem;
}

LRESULT listNotify(const NMHDR* header, HWND tree) {
    auto* mutableHeader = const_cast<NMHDR*>(header);
    switch (header->code) {
    case LVN_GETDISPINFOA: serveCellText(reinterpret_cast<NMLVDISPINFOA*>(mutableHeader)); return 0;
    case LVN_COLUMNCLICK: onColumnClick(reinterpret_cast<const NMLISTVIEW*>(header)); return 0;
    case NM_CUSTOMDRAW: return onCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(mutableHeader));
    case NM_SETFOCUS: focusedPane = kListPane; return 0;
    case NM_KILLFOCUS: focusedPane = kFocusLost; return 0;
    case NM_CLICK:
    case NM_RCLICK: onClick(reinterpret_cast<const NMITEMACTIVATE*>(header)); return 0;
    case NM_DBLCLK: openRowInTree(tree, reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem); return 0;
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
        LRESULT result = CallWindowProcA(previousListProc, list, message, wParam, lParam);
        forgetImageLists();
        return result;
    }
    return CallWindowProcA(previousListProc, list, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return atBoundary(LRESULT(0), [&] { return listMessage(list, message, wParam, lParam); });
}

void sortRows(HWND list, int column, bool ascending) {
    std::vector<int> moved = sortRowTable(column, ascending);
    ListRow* table = rowTable();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (size_t r = 0; r < moved.size(); ++r) {
        if (moved[r] == int(r)) continue; // the row is where it was: its label is right
        LVITEMA label{};
        label.iSubItem = 0;
        label.pszText = table[r].cells[0];
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(r), reinterpret_cast<LPARAM>(&label));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
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
