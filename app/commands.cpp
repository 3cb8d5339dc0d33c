// Commands from the menus, toolbars, accelerators, the tree's double click and the search box.
#include "commands.h"

#include <commctrl.h>

#include "about_dialog.h"
#include "app_state.h"
#include "detail_window.h"
#include "keyboard.h"
#include "list_copy.h"
#include "list_export.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_save.h"
#include "list_view.h"
#include "notebook.h"
#include "resource.h"
#include "search.h"
#include "tree_model.h"
#include "tree_view.h"
#include "update_check.h"

namespace {

void onEnter() {
    switch (focusedPane) {
    case kSearchPane: runSearch(app.tree, GetDlgItem(app.rebar, IDC_SEARCHBAR), IDC_SEARCHBOX); break;
    case kListPane: openRowInTree(app.tree, highlightedRow(app.list)); break;
    case kTreePane: {
        auto caret = reinterpret_cast<HTREEITEM>(SendMessageA(app.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        SendMessageA(app.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(caret));
        break;
    }
    default: break;
    }
}

// The file is named after what the list shows, not the address box's path, which holds a
// company's phone and contact person too.
void exportShownList() {
    auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(app.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    exportList(app.list, app.mainWindow, shownListName(listState.listKind, selected).c_str());
}

void onSearchBoxNotification(unsigned code) {
    if (code == CBN_SETFOCUS) focusedPane = kSearchPane;
    if (code == CBN_KILLFOCUS) focusedPane = kFocusLost;
}

} // namespace

void dispatchCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDM_EXIT: DestroyWindow(app.mainWindow); break;
    case IDM_ABOUT: showAboutDialog(app.mainWindow); break;
    case IDM_ENTER: onEnter(); break;
    case IDM_UPDATE:
        settings.onDemandUpdate = true;
        checkForUpdates(settings.updateHost, true);
        break;
    case IDM_NOTE_WRITE: openNotebookDialog(app.mainWindow); break;
    case IDM_NOTE_VIEW: showNotebook(); break;
    case IDM_DETAILS:
        if (currentCompany >= 0 && currentCompany < kNoCompany)
            createDetailWindow(app.instance, SW_SHOWNORMAL);
        break;
    case IDM_COLLAPSE: {
        RedrawPause pause(app.tree);
        collapseAll(app.tree);
        break;
    }
    case IDM_NOTE_DELETE: deleteNotebookEntry(); break;
    case IDM_NOTE_DELETE_ALL: deleteAllNotebookEntries(); break;
    case IDM_VIEW_ICON: setViewMode(app.list, LVS_ICON); break;
    case IDM_VIEW_SMALLICON: setViewMode(app.list, LVS_SMALLICON); break;
    case IDM_VIEW_LIST: setViewMode(app.list, LVS_LIST); break;
    case IDM_VIEW_REPORT: setViewMode(app.list, LVS_REPORT); break;
    case IDM_SEARCH: runSearch(app.tree, GetDlgItem(app.rebar, IDC_SEARCHBAR), IDC_SEARCHBOX); break;
    case IDC_SEARCHBOX: onSearchBoxNotification(HIWORD(wParam)); break;
    case IDM_EXPORT_LIST: exportShownList(); break;
    case IDM_FIND: focusSearchBox(); break;
    case IDM_COPY_ROWS: copyListRows(app.list, app.mainWindow); break;
    case IDM_SELECT_ALL_ROWS: selectAllRows(app.list); break;
    default: break;
    }
}
