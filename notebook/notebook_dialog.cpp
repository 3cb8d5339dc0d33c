// The notebook dialog: preset phrases, the current company's texts, and saving a note. A note
// that cannot be saved keeps the dialog open with its texts, so nothing the user wrote is lost.
#include "notebook.h"

#include <iterator>
#include <new>
#include <string>

#include "app_state.h"
#include "boundary.h"
#include "database.h"
#include "list_rows.h"
#include "notebook_file.h"
#include "platform.h"
#include "resource.h"
#include "wide_text.h"

namespace {

constexpr const char* kMatterPhrases[] = {
    "他向我询价",   "我向他询价",   "----------",   "他向我下订单", "我向他下订单", "------------",
    "他从我处采购", "我从他处采购", "------------", "商谈合同事宜", "------------", "我电话拜访他",
    "------------", "催款",         "收到款",       "款付出",
};
constexpr const char* kHintPhrases[] = {"诚实守信", "言而无信", "--------", "印象很好",
                                        "印象一般", "--------", "继续联系"};

// The controls whose texts make fields 1..6 of a note, in file order.
constexpr int kFieldControls[] = {IDC_NOTE_COMPANY, IDC_NOTE_MATTER, IDC_NOTE_HINT,
                                  IDC_NOTE_REMARK,  IDC_NOTE_PHONE,  IDC_NOTE_CONTACT};

void addPhrases(HWND dialog, int combo, const char* const* phrases, size_t count) {
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageW(dialog, combo, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(widenGbk(phrases[i]).c_str()));
}

void onInitDialog(HWND dialog) {
    addPhrases(dialog, IDC_NOTE_MATTER, kMatterPhrases, std::size(kMatterPhrases));
    addPhrases(dialog, IDC_NOTE_HINT, kHintPhrases, std::size(kHintPhrases));
    const CompanyRecord* company = currentCompany < kNoCompanyIndex ? companyAt(currentCompany) : nullptr;
    if (!company) return;
    SetDlgItemTextW(dialog, IDC_NOTE_COMPANY, widenGbk(company->name).c_str());
    SetDlgItemTextW(dialog, IDC_NOTE_PHONE, widenGbk(company->phone).c_str());
    SetDlgItemTextW(dialog, IDC_NOTE_CONTACT, widenGbk(company->contact).c_str());
}

// Writes the note and ends the dialog; when it cannot be written the user is told and the
// dialog stays as it is.
void writeNotebookFields(HWND dialog) {
    NotebookEntry entry{};
    LocalTime now;
    platform.localTime(&now);
    formatNoteTime(now, entry.fields[kNoteTime], kNoteFieldSize);
    for (int f = 1; f < kNoteFieldCount; ++f) {
        // More than a field holds is read, so that the cut falls on a character boundary.
        wchar_t typed[2 * kNoteFieldSize] = {};
        int length = GetDlgItemTextW(dialog, kFieldControls[f - 1], typed, int(std::size(typed)));
        std::string text;
        std::wstring unheld;
        if (length > 0 && !narrowToGbk(typed, size_t(length), text, &unheld)) {
            // The file is GBK: a character it cannot hold would come back as another one.
            const std::wstring message =
                widenGbk("记事本不能保存字符“") + unheld + widenGbk("”，请改写后再存盘。");
            MessageBoxW(dialog, message.c_str(), L"", MB_OK | MB_ICONWARNING);
            SetFocus(GetDlgItem(dialog, kFieldControls[f - 1]));
            return;
        }
        setNoteField(entry, f, text.c_str());
    }
    NoteResult result;
    try {
        result = saveNote(settings.notebookPath, entry);
    } catch (const std::bad_alloc&) {
        result = NoteResult::kWriteFailed;
    }
    switch (result) {
    case NoteResult::kDone: EndDialog(dialog, 1); return;
    case NoteResult::kCannotOpen:
        gbkMessageBox(dialog, "打开记事本文件时出错，这条记录没有存盘!", "", MB_OK | MB_ICONWARNING);
        return;
    default:
        gbkMessageBox(dialog, "写记事本文件时出错，这条记录没有存盘!", "", MB_OK | MB_ICONWARNING);
        return;
    }
}

INT_PTR notebookDialogMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog); return FALSE; // the system sets no focus
    case WM_COMMAND:
        // The whole wParam: a control's notification is not a command here.
        switch (wParam) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, 1); return FALSE;
        case IDC_NOTE_SAVE: writeNotebookFields(dialog); return FALSE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK notebookDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return atBoundary(INT_PTR(FALSE), [&] { return notebookDialogMessage(dialog, message, wParam); });
}

INT_PTR openNotebookDialog(HWND owner) {
    // A Unicode dialog: its fields show the catalogue's texts and take what is typed as UTF-16.
    return DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_NOTEBOOK), owner, notebookDialogProc, 0);
}
