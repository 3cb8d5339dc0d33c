// The program's windows on a catalogue, timed in this process under Wine: from the process's
// start to the main window shown, filled and answering (the data loading on its own thread
// meanwhile, as in the program, whose own time is reported too); a tree selection to a filled and
// painted list; a column sort; the notebook view of 500 full entries shown and painted; the
// search box filled from a history of 1,000 and of 10,000 words, the data path's peak
// memory beside the loaded database, and the data path in memory beside one through a unique
// temporary file. One line of figures per run; window_bench.sh runs it on the
// sample and on the large generated catalogue by turns and reports medians and ratios.
//
//   window_bench.exe --make-large FILE PROGRAM_IMAGE
//                                        writes the program image with the large catalogue
//   window_bench.exe --start PROGRAM_FILE
//                                        starts the real program and times it to its window
//   window_bench.exe --data-peak FILE    the data path's peak memory, alone in a fresh process
//   window_bench.exe PROGRAM_FILE        measures one start-up, selections and sorts
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app_state.h"
#include "appender.h"
#include "catalogue_generator.h"
#include "command_line.h"
#include "container.h"
#include "container_writer.h"
#include "data_load.h"
#include "database.h"
#include "list_rows.h"
#include "notebook.h"
#include "notebook_file.h"
#include "path_text.h"
#include "raster_file.h"
#include "rebar.h"
#include "search.h"
#include "search_core.h"
#include "startup.h"
#include "stream_writer.h"
#include "tool_files.h"
#include "tree_model.h"
#include "tree_view.h"

namespace {

double nowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Milliseconds since this process was created.
double sinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(now) - ticks(created)) / 10000.0;
}

HHOOK hook;
double messageShownAt = 0;
// Message boxes are answered "否" (the expiry notice) or "确定" (the search's count).
LRESULT CALLBACK answerNo(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        messageShownAt = nowMs();
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDNO, 0);
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// From the search command to its message box.
double timeSearch(const char* word) {
    SetWindowTextA(app.searchBox, word);
    double t = nowMs();
    SendMessageA(app.mainWindow, WM_COMMAND, 4300, 0);
    return messageShownAt - t;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The program image with the large catalogue appended, as the packer makes a program file.
int makeLarge(const char* path, const char* programImage) {
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(generateLargeCatalogue(), stream, errors)) return 1;
    std::vector<uint8_t> image;
    if (!readFileBytes(programImage, image) || image.empty()) return 1;
    std::vector<uint8_t> file = appendContainer(image, writeContainer({imageForStream(stream)}));
    std::string error;
    return writeFileReplacing(path, file, error) ? 0 : 1;
}

// Top-level windows looked up by class, so the watcher asks the window system little while the
// program starts beside it.
HWND visibleWindowOf(DWORD processId, const char* className) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The real program started as a user starts it, watched from this process: its expiry notice
// answered "否", up to its main window shown and answering a message; milliseconds since its
// process was created, looked at every millisecond.
int timeRealStartup(const char* program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + widePath(program) + L"\"";
    if (!CreateProcessW(widePath(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return 1;
    double shown = -1;
    while (shown < 0 && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        if (HWND box = visibleWindowOf(process.dwProcessId, "#32770")) {
            PostMessageA(box, WM_COMMAND, IDNO, 0);
        } else if (HWND main = visibleWindowOf(process.dwProcessId, "VListVwClass")) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &result)) {
                FILETIME created, exited, kernel, user, now;
                GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
                GetSystemTimeAsFileTime(&now);
                auto ticks = [](FILETIME t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
                shown = double(ticks(now) - ticks(created)) / 10000.0;
                PostMessageA(main, WM_CLOSE, 0, 0);
            }
        }
    }
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (shown < 0) return 1;
    std::printf("real_startup_ms %.1f\n", shown);
    return 0;
}

// The node whose list is longest among nodes of one kind of list (companies or groups).
int32_t largestNode(uint8_t wantedKind) {
    int32_t best = -1;
    int bestRows = -1;
    for (int32_t n = 0; n < dataStore.treeNodeCount; ++n) {
        if (!dataStore.treeNodes[n].treeItem) continue;
        int kind = childKindOfNode(n);
        if ((wantedKind == kCompanies) != (kind == 0)) continue;
        if (wantedKind == kCompanies && dataStore.treeNodes[n].kind != kLeafNode) continue;
        if (wantedKind == kCompanyGroups && kind != 2) continue;
        int rows = 0;
        if (kind == 0) {
            rows = int(treeModel.listings.size(size_t(n)));
        } else {
            size_t key = size_t(n) + 1;
            for (const int32_t* c = treeModel.children.begin(key); c != treeModel.children.end(key); ++c)
                rows += int(treeModel.listings.size(size_t(*c)));
        }
        if (rows > bestRows) best = n, bestRows = rows;
    }
    return best;
}

std::vector<double> paints;

// To the list filled (rows in the control, address and count set); the paint that follows is
// kept apart.
double timeSelection(HTREEITEM item) {
    double t = nowMs();
    SendMessageA(app.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    double filled = nowMs();
    UpdateWindow(app.list);
    paints.push_back(nowMs() - filled);
    return filled - t;
}

// A notebook of 500 notes whose fields are all as long as a field holds, beside the program file.
bool writeFullNotebook(const char* path) {
    NotebookEntry entry{};
    for (int f = 0; f < kNoteFieldCount; ++f)
        for (size_t i = 0; i + 2 <= kNoteFieldLimit; i += 2)
            std::memcpy(&entry.fields[f][i], "记", 2);
    std::vector<uint8_t> one = encodeNotebookEntry(entry), all;
    for (int n = 0; n < 500; ++n)
        all.insert(all.end(), one.begin(), one.end());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(all.data()), std::streamsize(all.size()));
    return bool(out);
}

// The search box filled from a history file of count words, as at start-up: command to filled.
double timeHistoryFill(int count) {
    const char* path = "bench-history.wrk";
    std::vector<uint8_t> file;
    for (int n = 0; n < count; ++n) {
        char word[32];
        int length = std::snprintf(word, sizeof word, "显示器%d", n);
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(uint32_t(length) >> (8 * i)));
        file.insert(file.end(), word, word + length);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    SendMessageA(app.searchBox, CB_RESETCONTENT, 0, 0);
    double t = nowMs();
    loadSearchHistory(app.searchBox, path);
    double filled = nowMs() - t;
    SendMessageA(app.searchBox, CB_RESETCONTENT, 0, 0);
    DeleteFileW(widePath(path).c_str());
    return filled;
}

PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double mib(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

// The loaded database's own bytes: its arrays and introductions.
double databaseBytes() {
    return double(loadedDatabaseBytes());
}

// The alternative to the raster in memory: written to a file made by GetTempFileNameW in the
// user's temporary folder, read back for the loader, and deleted.
bool throughTemporaryFile() {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"kov", 0, name)) return false;
    HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    static const uint8_t zeros[Raster::kPieceSize] = {};
    bool ok = true;
    for (size_t k = 0; ok && k < raster.pieceCount(); ++k) {
        DWORD written = 0;
        DWORD length = DWORD(raster.pieceLength(k));
        ok = WriteFile(file, raster.piece(k) ? raster.piece(k) : zeros, length, &written, nullptr) &&
             written == length;
    }
    uint64_t size = raster.size();
    raster.reset(size);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::vector<uint8_t> piece(Raster::kPieceSize);
    for (uint64_t at = 0; ok && at < size; at += Raster::kPieceSize) {
        DWORD length = DWORD(size - at < Raster::kPieceSize ? size - at : Raster::kPieceSize), read = 0;
        ok = ReadFile(file, piece.data(), length, &read, nullptr) && read == length &&
             raster.write(at, piece.data(), length);
    }
    CloseHandle(file);
    return ok;
}

} // namespace

// The data path alone in this fresh process, its peak memory beside the loaded database: the
// start-up makes the window meanwhile, whose memory is not the data path's.
int measureDataPeak(const char* program) {
    std::snprintf(programPath, sizeof programPath, "%s", program);
    double residentBefore = double(memoryCounters().WorkingSetSize);
    extractContainer();
    loadDatabase();
    double peak = double(memoryCounters().PeakWorkingSetSize) - residentBefore, database = databaseBytes();
    std::printf("data_peak_mib %.1f database_mib %.1f data_peak_ratio %.2f\n", mib(peak), mib(database),
                database > 0 ? peak / database : 0.0);
    freeDatabase();
    return 0;
}

int main(int argc, char** argv) {
    useUtf8Arguments(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--make-large") == 0) return makeLarge(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) return timeRealStartup(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--data-peak") == 0) return measureDataPeak(argv[2]);
    if (argc != 2) {
        std::fprintf(
            stderr,
            "usage: window_bench --make-large FILE PROGRAM_IMAGE | --start PROGRAM_FILE | --data-peak "
            "PROGRAM_FILE | PROGRAM_FILE\n");
        return 2;
    }
    double beforeMain = sinceProcessStart();
    hook = SetWindowsHookExA(WH_CBT, answerNo, nullptr, GetCurrentThreadId());
    app.instance = GetModuleHandleA(nullptr);
    std::snprintf(programPath, sizeof programPath, "%s", argv[1]);
    // As the program's WinMain: the data on its thread while the window's frame is made.
    double beforeProgram = nowMs();
    if (!startProgram(app.instance, SW_SHOWNORMAL)) return 1;
    pumpMessages();
    SendMessageA(app.mainWindow, WM_NULL, 0, 0);
    double startup = sinceProcessStart();
    double program = nowMs() - beforeProgram;
    double data = dataLoadMilliseconds();

    HTREEITEM groups = static_cast<HTREEITEM>(dataStore.treeNodes[largestNode(kCompanyGroups)].treeItem);
    HTREEITEM companies = static_cast<HTREEITEM>(dataStore.treeNodes[largestNode(kCompanies)].treeItem);
    std::vector<double> selectGroups, selectCompanies, sorts;
    int groupRows = 0, companyRows = 0;
    for (int round = 0; round < 7; ++round) {
        selectCompanies.push_back(timeSelection(companies));
        companyRows = listState.rowCount;
        selectGroups.push_back(timeSelection(groups));
        groupRows = listState.rowCount;
        NMLISTVIEW click{};
        click.hdr = {app.list, UINT_PTR(GetDlgCtrlID(app.list)), UINT(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = 2;
        double t = nowMs();
        SendMessageA(app.mainWindow, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
        sorts.push_back(nowMs() - t);
        UpdateWindow(app.list);
    }
    size_t treeItems = treeModel.itemRecord.size();
    std::vector<double> searchMany, searchNone, searchFinds, messageBoxes;
    int hits = 0;
    for (int round = 0; round < 5; ++round) {
        searchMany.push_back(timeSearch("公司"));
        hits = searchMatchCount();
        searchNone.push_back(timeSearch("zzzz"));
        // The program's own part of a search, without the tree control's.
        char word[] = "公司";
        foldSearchText(word);
        double t = nowMs();
        std::vector<SearchHit> found = findSearchHits(word);
        searchFinds.push_back(nowMs() - t);
        // The system's part that every search ends with: its message box up to shown.
        t = nowMs();
        MessageBoxA(nullptr, "找到了有关 'zzzz' 的信息 0 条!", "", MB_ICONINFORMATION);
        messageBoxes.push_back(messageShownAt - t);
    }
    // The notebook view: command 119 to the 500 rows in the list and painted.
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s", "bench-notebook.wrk");
    if (!writeFullNotebook(settings.notebookPath)) return 1;
    std::vector<double> notebooks, notebookFills, notebookReads;
    int notebookRows = 0;
    for (int round = 0; round < 7; ++round) {
        double t = nowMs();
        loadNotebookRows(settings.notebookPath); // the file alone, into the row table
        notebookReads.push_back(nowMs() - t);
        t = nowMs();
        SendMessageA(app.mainWindow, WM_COMMAND, 119, 0);
        double filled = nowMs();
        UpdateWindow(app.list);
        notebookFills.push_back(filled - t);
        notebooks.push_back(nowMs() - t);
        notebookRows = listState.rowCount;
    }
    DeleteFileW(widePath(settings.notebookPath).c_str());
    // The history fill at two sizes: their ratio shows how the fill grows with the words.
    std::vector<double> history1k, history10k;
    for (int round = 0; round < 3; ++round) {
        history1k.push_back(timeHistoryFill(1000));
        history10k.push_back(timeHistoryFill(10000));
    }
    DestroyWindow(app.mainWindow); // the database goes with it

    // The data path again, now in a warm process: in memory, and through a temporary file.
    std::vector<double> inMemory, throughFile;
    for (int round = 0; round < 3; ++round) {
        for (bool viaFile : {false, true}) {
            freeDatabase();
            double t = nowMs();
            extractContainer();
            if (viaFile && !throughTemporaryFile()) return 1;
            loadDatabase();
            (viaFile ? throughFile : inMemory).push_back(nowMs() - t);
        }
    }
    freeDatabase();
    std::printf("data_memory_ms %.1f data_tempfile_ms %.1f ", median(inMemory), median(throughFile));
    std::printf("startup_ms %.1f before_main_ms %.1f data_ms %.1f program_ms %.1f select_groups_ms %.2f "
                "group_rows %d "
                "select_companies_ms %.2f company_rows %d sort_ms %.2f paint_ms %.2f tree_items %zu "
                "search_hits_ms %.1f hits %d search_none_ms %.1f search_find_ms %.1f message_box_ms %.1f "
                "notebook_ms %.2f "
                "notebook_fill_ms %.2f "
                "notebook_read_ms %.2f notebook_rows %d history_1k_ms %.1f history_10k_ms %.1f\n",
                startup, beforeMain, data, program, median(selectGroups), groupRows, median(selectCompanies),
                companyRows, median(sorts), median(paints), treeItems, median(searchMany), hits,
                median(searchNone), median(searchFinds), median(messageBoxes), median(notebooks),
                median(notebookFills), median(notebookReads), notebookRows, median(history1k),
                median(history10k));
    UnhookWindowsHookEx(hook);
    return 0;
}
