// Start-up and the end of the program: classes, state prepared in a fixed order, the expiry
// notice, the main window, the message loop and the release of what start-up made.
#include "startup.h"

#include <commctrl.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "app_state.h"
#include "container.h"
#include "data_load.h"
#include "database.h"
#include "detail_window.h"
#include "display_scale.h"
#include "host_slot.h"
#include "keyboard.h"
#include "list_notify.h"
#include "list_sort.h"
#include "main_window.h"
#include "path_text.h"
#include "platform.h"
#include "rebar.h"
#include "resource.h"
#include "search.h"
#include "shell.h"
#include "startup_failure.h"
#include "tree_model.h"
#include "update_check.h"
#include "user_paths.h"
#include "version.h"
#include "wide_text.h"
#include "window_class.h"

namespace {

void windowsLocalTime(LocalTime* now) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    *now = LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void windowsShowMessage(const char* text) {
    gbkMessageBox(nullptr, text, "", MB_OK);
}

int windowsDeleteFile(const char* path) {
    return DeleteFileW(widePath(path).c_str()) ? 1 : 0;
}

constexpr COLORREF kRowColours[12] = {
    RGB(124, 218, 244), RGB(127, 247, 234), RGB(193, 243, 254), RGB(255, 255, 153),
    RGB(255, 219, 157), RGB(255, 204, 102), RGB(153, 255, 102), RGB(204, 255, 204),
    RGB(212, 210, 127), RGB(167, 217, 252), RGB(255, 255, 255), RGB(0, 0, 0),
};

} // namespace

void createFonts() {
    // The face named in UTF-16: its GBK name means nothing to a system of another code page.
    // GB2312_CHARSET asks for a face that has the Chinese characters where SimSun is missing.
    LOGFONTW font{};
    font.lfHeight = -scaled(13);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    lstrcpynW(font.lfFaceName, L"宋体", LF_FACESIZE);
    drawing.normalFont.reset(CreateFontIndirectW(&font));
    font.lfUnderline = 1;
    drawing.linkFont.reset(CreateFontIndirectW(&font));
}

namespace {

void showExpiryNotice() {
    if (dataStore.expiredCount <= 0) return;
    char notice[256];
    std::snprintf(
        notice, sizeof notice,
        "已经有%d条过时信息。过时信息将不被显示。\r\n\r\n    建议你下载最新的商情。\r\n      现在下载吗？",
        dataStore.expiredCount);
    if (gbkMessageBox(nullptr, notice, "提示", MB_ICONINFORMATION | MB_YESNO) != IDYES) return;
    char site[80];
    siteAddressOf(settings.updateHost, site, sizeof site);
    shellOpen(nullptr, site);
}

} // namespace

ATOM registerWindowClasses(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    setProgramIcons(wc, instance);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = L"VListVwClass";
    ATOM main = registerWindowClass(wc);
    ATOM detail = registerDetailWindowClass(instance);
    return main ? detail : 0;
}

void readProgramPath(size_t capacity) {
    platform.showFailure = showStartupFailure;
    // A path cut to the buffer would name another file: one that does not fit ends the start-up.
    if (capacity > sizeof programPath) capacity = sizeof programPath;
    // The path in UTF-16, so a folder named in any script is found again whatever the code page.
    static wchar_t wideName[32768];
    DWORD length = GetModuleFileNameW(nullptr, wideName, DWORD(std::size(wideName)));
    if (length == 0) {
        std::fprintf(stderr, "the program's path cannot be read (error %lu)\n", GetLastError());
        failStartup(StartupFailure::ProgramUnreadable, 1);
    }
    std::string path = length < std::size(wideName) ? pathOfWide(wideName) : std::string();
    if (path.empty() || path.size() >= capacity) {
        programPath[0] = '\0';
        std::fprintf(stderr, "the program's path does not fit in %u bytes\n", unsigned(capacity - 1));
        failStartup(StartupFailure::PathTooLong, 1);
    }
    std::memcpy(programPath, path.c_str(), path.size() + 1);
}

void fillPlatformSeam() {
    platform.localTime = windowsLocalTime;
    platform.showMessage = windowsShowMessage;
    platform.deleteFile = windowsDeleteFile;
    platform.showFailure = showStartupFailure;
    compareText = compareGbkText;
}

void prepareDataFreeState() {
    std::snprintf(settings.versionString, sizeof settings.versionString, "%s", KOVANTA_VERSION_TEXT);
    settings.onDemandUpdate = false;
    std::memcpy(drawing.rowColours, kRowColours, sizeof kRowColours);
    drawing.splitterPen.reset(CreatePen(PS_DOT, 1, RGB(255, 0, 0)));
    drawing.arrowCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    drawing.splitterCursor = LoadCursorA(app.instance, MAKEINTRESOURCEA(IDR_SPLITTER_CURSOR));
    drawing.handCursor = LoadCursorA(app.instance, MAKEINTRESOURCEA(IDR_HAND_CURSOR));
    clearSearchMatches();
    setLayoutDpi(screenDpi());
    createFonts();
    clearLinkFontSelection();
    std::snprintf(settings.updateHost, sizeof settings.updateHost, "%s", builtInUpdateHost());
    setUserFilePaths();
}

void prepareApplication() {
    fillPlatformSeam();
    loadCatalogue();
    prepareDataFreeState();
    showExpiryNotice();
}

void initialiseCommonControls() {
    INITCOMMONCONTROLSEX controls{8, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    InitCommonControls();
}

HWND createMainWindowFrame(HINSTANCE instance) {
    app.instance = instance;
    // 750 x 550 at 96 DPI, scaled, and no larger than the screen's work area (at 150% the
    // window would not fit a 1366 x 768 screen).
    RECT work{0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = scaled(750), height = scaled(550);
    if (work.right > work.left) width = std::min(width, int(work.right - work.left));
    if (work.bottom > work.top) height = std::min(height, int(work.bottom - work.top));
    HWND window = CreateWindowExW(0, L"VListVwClass", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    app.mainWindow = window;
    app.rebar = createRebar(window);
    // Opened on a monitor of another scale than the screen's: laid out again for its own.
    if (int dpi = dpiOfWindow(window); dpi != layoutDpi()) rescaleForDpi(dpi, nullptr);
    // Laid out while hidden, the panes move in half the time when the window is shown (its
    // WM_SIZE lays them out again, since a shortcut may ask for another size).
    layoutPanes(0);
    return window;
}

void showMainWindow(int showCommand) {
    char title[100];
    std::snprintf(title, sizeof title, "%s→%s→Kovanta 更新日期：%s", dataStore.titlePart1,
                  dataStore.titlePart2, dataStore.updateDate);
    SetWindowTextW(app.mainWindow, widenGbk(title).c_str());
    fillPanes();
    ShowWindow(app.mainWindow, showCommand);
    UpdateWindow(app.mainWindow);
    startUpdateThread();
}

int createMainWindow(HINSTANCE instance, int showCommand) {
    if (!createMainWindowFrame(instance)) return 0;
    showMainWindow(showCommand);
    return 1;
}

int startProgram(HINSTANCE instance, int showCommand) {
    app.instance = instance;
    if (!chineseTextSupported(gbkCodePageInstalled())) return 0;
    fillPlatformSeam();
    startDataLoad();
    ATOM registered = registerWindowClasses(instance);
    initialiseCommonControls();
    prepareDataFreeState();
    HWND frame = registered ? createMainWindowFrame(instance) : nullptr;
    finishDataLoad();
    if (!frame) {
        showStartupFailure(StartupFailure::NoWindow);
        return 0;
    }
    showExpiryNotice();
    showMainWindow(showCommand);
    return 1;
}

int runMessageLoop(BOOL(WINAPI* getMessage)(MSG*, HWND, UINT, UINT)) {
    HACCEL accelerators = LoadAcceleratorsA(app.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message{};
    BOOL got;
    while ((got = getMessage(&message, nullptr, 0, 0)) > 0) {
        if (handlePaneKey(message)) continue;
        if (!TranslateAcceleratorW(app.mainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // -1 is an error, after which message holds the last message's values, not a quit status.
    return got < 0 ? 1 : int(message.wParam);
}

void shutDownApplication() {
    // Detail windows read the database: they go first.
    closeDetailWindows();
    freeDatabase();
    clearTreeModel();
    drawing.splitterPen.reset();
    drawing.linkFont.reset();
    drawing.normalFont.reset();
    drawing.interfaceFont.reset();
    drawing.listFont.reset();
    for (ScopedBitmap& band : drawing.bandBackgrounds)
        band.reset();
    cancelUpdateCheck();
    WSACleanup();
    PostQuitMessage(0);
}
