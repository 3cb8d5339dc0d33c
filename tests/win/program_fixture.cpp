// The window tests' fixture: scratch directory, catalogue, hooks, control readers.
#include "program_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>

#include "app_state.h"
#include "container.h"
#include "container_writer.h"
#include "database.h"
#include "detail_window.h"
#include "fileio.h"
#include "notebook_file.h"
#include "path_text.h"
#include "startup.h"
#include "stream_writer.h"
#include "update_check.h"
#include "wide_text.h"

std::vector<ShownMessage> ProgramTest::messages;
std::vector<int> ProgramTest::answers;
std::vector<std::string> ProgramTest::shellTargets;
std::function<void(HWND)> ProgramTest::dialogDriver;

namespace {

HHOOK messageHook = nullptr;

void CALLBACK driveDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    auto driver = std::move(ProgramTest::dialogDriver);
    ProgramTest::dialogDriver = nullptr;
    if (driver) driver(dialog);
}

void CALLBACK endForgottenDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    EndDialog(dialog, ProgramTest::kDialogLeftOpen);
}

constexpr UINT_PTR kDriveTimer = 0x4b01, kForgottenTimer = 0x4b02;

// Each message box is read when it becomes active and answered with the next answer.
LRESULT CALLBACK answerMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char className[32] = {};
        GetClassNameA(box, className, sizeof className);
        if (std::string(className) == "#32770" && windowText(box) == "我的记事本") {
            if (ProgramTest::dialogDriver) SetTimer(box, kDriveTimer, 0, driveDialog);
            SetTimer(box, kForgottenTimer, 20000, endForgottenDialog);
        } else if (std::string(className) == "#32770") {
            wchar_t text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            ProgramTest::messages.push_back({windowText(box), gbkOf(text)});
            int answer = IDOK;
            if (!ProgramTest::answers.empty()) {
                answer = ProgramTest::answers.front();
                ProgramTest::answers.erase(ProgramTest::answers.begin());
            }
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(messageHook, code, wParam, lParam);
}

void recordShellTarget(HWND, const char* target) {
    ProgramTest::shellTargets.push_back(target);
}

CompanySource company(const char* name, const char* phone, const char* contact, const char* website,
                      const char* email) {
    CompanySource c;
    c.name = name;
    c.phone = phone;
    c.contact = contact;
    c.website = website;
    c.email = email;
    c.address = "上海路1号";
    return c;
}

} // namespace

Catalogue sampleCatalogue() {
    Catalogue c;
    c.dataName = "test";
    c.titlePart1 = "华东";
    c.titlePart2 = "电脑商情";
    c.updateDate = "2026-12-01";
    c.categories = {{"台式电脑", true}, {"星河", false}, {"华拓", false}, {"打印机", true}, {"彩印", false}};
    c.treeNodes = {{-1, 0}, {0, 1}, {0, 2}, {-1, 3}, {3, 4}};
    c.companies = {company("宁波智盛数码科技有限公司", "0574-1", "陈女士", "www.zhisheng.example",
                           "sales@zhisheng.example"),
                   company("杭州信盈电脑有限公司", "0571-2", "吴女士", "", "xy@xinying.example"),
                   company("合肥佳航科技有限公司", "0551-3", "曹经理", "http://jiahang.example", ""),
                   company("南京嘉图电脑有限公司", "025-4", "曹军", "www.jiatu.example", "")};
    c.links = {
        {1, 0, "", kValid}, {1, 1, "", kExpired}, {1, 2, "", kValid}, {2, 3, "", kValid}, {4, 0, "", kValid}};
    c.products = {{0, 1, "XH-100", "酷睿 i5/8G/512G", 3999.0f, "台", "上海", "含税", kValid},
                  {0, 1, "XH-200", "酷睿 i7", 0.29f, "台", "上海", "", kExpired},
                  {0, 1, "XH-300", "", 12.3f, "台", "", "", kValid},
                  {0, 4, "CY-1", "彩色", 0.0f, "台", "", "", kValid},
                  {0, 0, "TOP", "", 30000000.0f, "", "", "", kValid}};
    return c;
}

void ProgramTest::SetUpTestSuite() {
    app.instance = GetModuleHandleA(nullptr);
    registerWindowClasses(app.instance);
    initialiseCommonControls();
    shellOpen = recordShellTarget;
}

void ProgramTest::SetUp() {
    wchar_t temp[MAX_PATH] = {}, here[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetCurrentDirectoryW(MAX_PATH, here);
    previous_ = pathOfWide(here);
    scratch_ = pathOfWide(temp) + "kovanta-window-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount());
    CreateDirectoryW(widePath(scratch_).c_str(), nullptr);
    SetCurrentDirectoryW(widePath(scratch_).c_str());
    messages.clear();
    answers.clear();
    shellTargets.clear();
    messageHook = SetWindowsHookExA(WH_CBT, answerMessageBoxes, nullptr, GetCurrentThreadId());
}

void ProgramTest::TearDown() {
    EXPECT_TRUE(settleUpdateCheck()) << "an update check still running at the end of the test";
    if (app.mainWindow && IsWindow(app.mainWindow)) DestroyWindow(app.mainWindow);
    app = AppWindows{app.instance};
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT) DispatchMessageA(&message);
    UnhookWindowsHookEx(messageHook);
    SetCurrentDirectoryW(widePath(previous_).c_str());
    dialogDriver = nullptr;
    for (const char* name : {"program.bin", "MySchInf.wrk", "MyDocInf.wrk", "5.msg"})
        DeleteFileW(widePath(scratch_ + "\\" + name).c_str());
    std::wstring temporary = widePath(notebookTemporaryPath((scratch_ + "\\MyDocInf.wrk").c_str()));
    DeleteFileW(temporary.c_str());
    RemoveDirectoryW(temporary.c_str());
    RemoveDirectoryW(widePath(scratch_).c_str());
}

std::string winePath(const char* path) {
    std::string out = path[0] == '/' ? std::string("Z:") + path : std::string(path);
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = pathOfWide(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void removeTree(const std::string& folder) {
    for (const std::string& name : folderEntries(folder)) {
        std::string path = folder + "\\" + name;
        if (GetFileAttributesW(widePath(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(path);
        else
            DeleteFileW(widePath(path).c_str());
    }
    RemoveDirectoryW(widePath(folder).c_str());
}

Bytes programFileOf(const Catalogue& catalogue) {
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(catalogue, stream, errors)) return {};
    Bytes file(16, 0);
    std::vector<uint8_t> container = writeContainer({imageForStream(stream)});
    file.insert(file.end(), container.begin(), container.end());
    for (int i = 0; i < 4; ++i)
        file.push_back(uint8_t(16 >> (8 * i)));
    return file;
}

void ProgramTest::start(const Catalogue& catalogue, std::vector<int> boxAnswers) {
    Bytes file = programFileOf(catalogue);
    ASSERT_FALSE(file.empty());
    std::string path = scratch_ + "\\program.bin";
    writeBytes(path, file);
    std::snprintf(programPath, sizeof programPath, "%s", path.c_str());
    answers = std::move(boxAnswers);
    prepareApplication();
    // The history file of this test, not the system directory's.
    std::snprintf(settings.searchHistoryPath, sizeof settings.searchHistoryPath, "%s\\MySchInf.wrk",
                  scratch_.c_str());
    if (!historyFile.empty())
        std::ofstream(settings.searchHistoryPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(historyFile.data()), std::streamsize(historyFile.size()));
    startupNotebookPath = settings.notebookPath;
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s\\MyDocInf.wrk", scratch_.c_str());
    if (!notebookFile.empty())
        std::ofstream(settings.notebookPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(notebookFile.data()), std::streamsize(notebookFile.size()));
    std::snprintf(settings.updateHost, sizeof settings.updateHost, "%s", updateHost.c_str());
    ASSERT_EQ(createMainWindow(app.instance, SW_SHOWNORMAL), 1);
}

bool ProgramTest::settleUpdateCheck(DWORD limitMs) {
    DWORD started = GetTickCount();
    while (updateCheckBusy()) {
        if (GetTickCount() - started > limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
    return true;
}

void ProgramTest::selectTreeItem(HTREEITEM item) {
    SendMessageA(app.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

LRESULT ProgramTest::notifyFromList(UINT code, int item, int subItem) {
    NMLISTVIEW notification{};
    notification.hdr.hwndFrom = app.list;
    notification.hdr.idFrom = GetDlgCtrlID(app.list);
    notification.hdr.code = code;
    notification.iItem = item;
    notification.iSubItem = subItem;
    return SendMessageA(app.mainWindow, WM_NOTIFY, notification.hdr.idFrom,
                        reinterpret_cast<LPARAM>(&notification));
}

void ProgramTest::clickListRow(int row) {
    int shown = row >= 0 ? row : listRowCount(app.list) - 1;
    SendMessageA(app.list, LVM_ENSUREVISIBLE, WPARAM(shown), FALSE);
    RECT cell{LVIR_LABEL, 0, 0, 0};
    SendMessageA(app.list, LVM_GETSUBITEMRECT, WPARAM(shown), reinterpret_cast<LPARAM>(&cell));
    const int height = cell.bottom - cell.top;
    LPARAM at = MAKELPARAM(cell.left + 4, row >= 0 ? cell.top + height / 2 : cell.bottom + height);
    // The list follows the press until the button goes up: that is waiting in the queue.
    PostMessageA(app.list, WM_LBUTTONUP, 0, at);
    SendMessageA(app.list, WM_LBUTTONDOWN, MK_LBUTTON, at);
}

std::vector<int> detailWindowCompanies() {
    std::vector<int> companies;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "DetailClass", nullptr));)
        companies.push_back(detailCompany(w));
    return companies;
}

// The controls are read in UTF-16, as the user sees them whatever the test's code page, and
// compared as GBK, the program's own bytes (a character GBK has not reads as "?").
std::string gbkOf(const wchar_t* text) {
    std::string gbk(std::wcslen(text) * 2 + 1, '\0');
    int bytes = WideCharToMultiByte(936, 0, text, -1, gbk.data(), int(gbk.size()), nullptr, nullptr);
    gbk.resize(bytes > 0 ? size_t(bytes - 1) : 0);
    return gbk;
}

std::string windowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    GetWindowTextW(window, text.data(), int(text.size()));
    return gbkOf(text.c_str());
}

std::string dialogItemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

void setWindowTextGbk(HWND window, const char* gbk) {
    SetWindowTextW(window, widenGbk(gbk).c_str());
}

std::string menuItemText(HMENU menu, UINT item, UINT flag) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, item, text, 128, flag);
    return gbkOf(text);
}

std::vector<std::string> comboBoxItems(HWND box) {
    std::vector<std::string> items;
    int count = int(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(box, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        items.push_back(gbkOf(text));
    }
    return items;
}

std::string treeItemText(HWND tree, HTREEITEM item) {
    wchar_t text[256] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return gbkOf(text);
}

int treeItemImage(HWND tree, HTREEITEM item, bool selected) {
    TVITEMA query{};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    query.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return selected ? query.iSelectedImage : query.iImage;
}

HTREEITEM treeChild(HWND tree, HTREEITEM parent, int index) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(
        tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (int i = 0; i < index && item; ++i)
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    return item;
}

std::vector<std::string> treeChildTexts(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (HTREEITEM item = treeChild(tree, parent, 0); item;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        texts.push_back(treeItemText(tree, item));
    return texts;
}

int listRowCount(HWND list) {
    return int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string listCell(HWND list, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW query{};
    query.iSubItem = column;
    query.pszText = text;
    query.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&query));
    return gbkOf(text);
}

std::vector<std::string> listColumn(HWND list, int column) {
    std::vector<std::string> cells;
    for (int r = 0; r < listRowCount(list); ++r)
        cells.push_back(listCell(list, r, column));
    return cells;
}

std::vector<std::string> listColumnTitles(HWND list) {
    std::vector<std::string> titles;
    for (int c = 0;; ++c) {
        wchar_t text[64] = {};
        LVCOLUMNW query{};
        query.mask = LVCF_TEXT;
        query.pszText = text;
        query.cchTextMax = 64;
        if (!SendMessageW(list, LVM_GETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(&query))) break;
        titles.push_back(gbkOf(text));
    }
    return titles;
}

int listColumnWidth(HWND list, int column) {
    return int(SendMessageA(list, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
}

std::string statusText(HWND statusBar, int part) {
    wchar_t text[256] = {};
    SendMessageW(statusBar, SB_GETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(text));
    return gbkOf(text);
}

std::string addressText() {
    wchar_t text[700] = {};
    GetDlgItemTextW(app.rebar, 4302, text, 700);
    return gbkOf(text);
}

namespace {
NMLVCUSTOMDRAW drawCell(int row, int column) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = app.list;
    draw.nmcd.hdr.idFrom = GetDlgCtrlID(app.list);
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.dwItemSpec = DWORD_PTR(row);
    draw.nmcd.hdc = GetDC(app.list);
    draw.iSubItem = column;
    SendMessageA(app.mainWindow, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    // Draw a plain cell after it, so a link font selected for it is put back.
    NMLVCUSTOMDRAW plain = draw;
    plain.iSubItem = 0;
    SendMessageA(app.mainWindow, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&plain));
    ReleaseDC(app.list, draw.nmcd.hdc);
    return draw;
}
} // namespace

COLORREF cellBackground(int row, int column) {
    return drawCell(row, column).clrTextBk;
}

COLORREF cellTextColour(int row, int column) {
    return drawCell(row, column).clrText;
}

Bytes fileBytes(const std::string& path) {
    Bytes bytes;
    if (File file = openFile(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    File file = openFile(path.c_str(), "wb");
    if (file) std::fwrite(bytes.data(), 1, bytes.size(), file.get());
}

RECT childRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

ScreenPicture screenPicture(const RECT& area) {
    ScreenPicture picture;
    picture.width = int(area.right - area.left);
    picture.height = int(area.bottom - area.top);
    picture.stride = size_t((picture.width * 3 + 3) & ~3);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    picture.header = {sizeof(BITMAPINFOHEADER), picture.width, picture.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPINFO info{};
    info.bmiHeader = picture.header;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint8_t*>(bits);
    if (first) picture.bits.assign(first, first + picture.stride * size_t(picture.height));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

void saveWindowPicture(HWND window, const char* name) {
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("KOVANTA_WINDOW_SHOTS", folder, sizeof folder)) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r{};
    GetWindowRect(window, &r);
    ScreenPicture picture = screenPicture(r);
    const DWORD size = DWORD(picture.bits.size());
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&picture.header), sizeof picture.header);
    out.write(reinterpret_cast<const char*>(picture.bits.data()), std::streamsize(size));
}
