// The notebook view in the list and the deletions. A deletion works on the file, not on the
// rows: the row only says which entry it shows, so every other note stays, also those the view
// does not hold.
#include "notebook.h"

#include <commctrl.h>

#include <cstring>
#include <new>

#include "app_state.h"
#include "list_notify.h"
#include "list_rows.h"
#include "list_view.h"
#include "notebook_file.h"
#include "resource.h"
#include "status_bar.h"
#include "wide_text.h"

namespace {

void tell(const char* text, const char* caption = "") {
    gbkMessageBox(nullptr, text, caption, MB_ICONINFORMATION);
}

// The entry as its row shows it, which is what the file must still hold at the row's place.
NotebookEntry entryOfRow(const ListRow& row) {
    NotebookEntry entry{};
    for (int f = 0; f < kNoteFieldCount; ++f)
        std::memcpy(entry.fields[f], row.cells[f], kNoteFieldSize);
    return entry;
}

} // namespace

int showNotebook(HWND list, HWND rebar, HWND statusBar) {
    bool opened = loadNotebookRows(settings.notebookPath);
    // The rows are in the table now; the control shows none of them until it is given them.
    RedrawPause pause(list);
    clearRows(list);
    installColumnSet(list, ColumnSet::kNotebook);
    if (opened) insertRows(list);
    // A notebook without a file is an empty notebook, shown as one.
    SetDlgItemTextW(rebar, IDC_ADDRESSBOX, widenGbk("→“我的记事本”").c_str());
    showRowCount(statusBar, listState.rowCount);
    return opened ? 1 : 0;
}

int showNotebook() {
    return showNotebook(app.list, app.rebar, app.statusBar);
}

void deleteNotebookEntry() {
    // Only the notebook view's rows stand for notes.
    if (listState.listKind != kNotebook) return;
    // The highlighted row, not the selection mark, which stays behind when the highlight goes.
    int mark = highlightedRow(app.list);
    const ListRow* table = rowTable();
    if (!table || mark < 0 || mark >= listState.rowCount) {
        tell("请先点击您想删除的记录!", "提示");
        return;
    }
    NoteResult result;
    try {
        result = removeNote(settings.notebookPath, table[mark].sourceIndex, entryOfRow(table[mark]));
    } catch (const std::bad_alloc&) {
        result = NoteResult::kWriteFailed;
    }
    switch (result) {
    case NoteResult::kDone: showNotebook(); return;
    case NoteResult::kCannotOpen: tell("打开文件时出错!"); return;
    case NoteResult::kWriteFailed: tell("写文件时出错，记事本没有改动!"); return;
    case NoteResult::kNoSuchEntry:
        tell("记事本文件已经改变，这条记录没有删除。请看刷新后的记录。", "提示");
        showNotebook();
        return;
    }
}

void deleteAllNotebookEntries() {
    if (gbkMessageBox(nullptr, "你确定要删除“我的记事本”中的所有记录吗？", "提示",
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES &&
        removeAllNotes(settings.notebookPath) != NoteResult::kDone)
        tell("删除文件时出错!");
    showNotebook();
}
