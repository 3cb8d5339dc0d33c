// The list exported: the save dialog, the CSV text, the temporary file and its replacement.
#include "list_save.h"

#include <commdlg.h>

#include <cstdio>
#include <string>

#include "list_copy.h"
#include "list_export.h"
#include "list_rows.h"
#include "path_text.h"
#include "wide_text.h"

namespace {

bool askWithSaveDialog(HWND owner, char* path, size_t capacity) {
    wchar_t chosen[MAX_PATH] = {};
    lstrcpynW(chosen, widePath(path).c_str(), MAX_PATH);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"CSV 文件 (*.csv)\0*.csv\0所有文件 (*.*)\0*.*\0";
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"csv";
    dialog.lpstrTitle = L"导出列表";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return false;
    std::string narrow = pathOfWide(chosen);
    if (narrow.size() >= capacity) return false; // cannot happen: capacity holds any MAX_PATH path
    std::snprintf(path, capacity, "%s", narrow.c_str());
    return true;
}

std::string fileText(HWND list) {
    std::vector<std::string> titles = listTitles(list);
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < listState.rowCount; ++row)
        rows.push_back(listRowCells(row, titles.size()));
    return listToCsv(titles, rows, utf8OfGbk);
}

// The whole text or nothing: a short write or a failed flush counts as a failure.
bool writeWhole(const char* path, const std::string& text) {
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole =
        WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    whole = FlushFileBuffers(file) && whole;
    return CloseHandle(file) && whole;
}

} // namespace

bool (*askExportPath)(HWND owner, char* path, size_t capacity) = askWithSaveDialog;

bool exportList(HWND list, HWND owner, const char* listName) {
    char path[3 * MAX_PATH] = {};
    std::snprintf(path, sizeof path, "%s", utf8OfGbk(exportFileName(listName ? listName : "")).c_str());
    if (!askExportPath(owner, path, sizeof path) || path[0] == '\0') return false;
    path[sizeof path - 1] = '\0';
    std::string target = path;
    // Beside the target, so the move is a rename on one disk; the process id keeps it clear of
    // any file of the user's.
    std::string temporary = target + ".~" + std::to_string(GetCurrentProcessId()) + ".tmp";
    if (writeWhole(temporary.c_str(), fileText(list)) &&
        MoveFileExW(widePath(temporary).c_str(), widePath(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(widePath(temporary).c_str());
    std::wstring message =
        widenGbk("无法保存列表到文件：\r\n") + widePath(target) + widenGbk("\r\n\r\n原有的文件保持不变。");
    MessageBoxW(owner, message.c_str(), widenGbk("导出列表").c_str(), MB_OK | MB_ICONWARNING);
    return false;
}
