// The update check's window half: name lookup, connects and sends (on the start-up thread or,
// for the user's check, on the main thread), the reply read from the main window's WM_USER
// messages, and the notices with the download offer.
#include "update_check.h"

#include <winsock2.h>

#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app_state.h"
#include "boundary.h"
#include "database.h"
#include "update_exchange.h"
#include "wide_text.h"

UpdateTimeouts updateTimeouts;

namespace {

void openHidden(HWND owner, const char* url) {
    ShellExecuteW(owner, L"open", widenGbk(url).c_str(), nullptr, nullptr, SW_HIDE);
}

// A socket closed when its owner goes.
class Socket {
  public:
    Socket() = default;
    explicit Socket(SOCKET s) : s_(s) {}
    Socket(Socket&& other) noexcept : s_(other.release()) {}
    Socket& operator=(Socket&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() { reset(); }

    SOCKET get() const { return s_; }
    explicit operator bool() const { return s_ != INVALID_SOCKET; }
    SOCKET release() { return std::exchange(s_, INVALID_SOCKET); }
    void reset(SOCKET s = INVALID_SOCKET) {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = s;
    }

  private:
    SOCKET s_ = INVALID_SOCKET;
};

// WM_USER with this event: the start-up thread hands its connected socket (wParam) to the
// main thread, which sends the request and reads the reply. It is no socket event (FD_*).
constexpr unsigned kHandOver = 0x8000;

// A check whose reply is awaited: main thread only. The start-up check and the user's check
// are awaited side by side, each reply read into its own check and answered as that check
// was asked; a new check of either kind replaces the one of its kind still awaited.
struct AwaitedCheck {
    Socket socket;
    UpdateReply reply;
    bool interactive;
    UINT_PTR timer; // the reply's time limit
};
AwaitedCheck awaitedChecks[2] = {{Socket(), UpdateReply{}, false, 0x6101},
                                 {Socket(), UpdateReply{}, true, 0x6102}};

AwaitedCheck& awaitedCheck(bool interactive) {
    return awaitedChecks[interactive ? 1 : 0];
}

AwaitedCheck* checkOfSocket(SOCKET s) {
    for (AwaitedCheck& check : awaitedChecks)
        if (check.socket && check.socket.get() == s) return &check;
    return nullptr;
}

std::atomic<int> runningThreads{0}, queuedHandOvers{0};

bool onMainThread() {
    return app.mainWindow && GetWindowThreadProcessId(app.mainWindow, nullptr) == GetCurrentThreadId();
}

// Notifications of a closed socket still queued are dropped: a later socket may get its
// handle. Hand-overs and other sockets' notifications stay queued in their order.
void dropQueuedEvents(SOCKET closed) {
    MSG kept[16];
    int keptCount = 0;
    MSG m;
    while (PeekMessageW(&m, app.mainWindow, WM_USER, WM_USER, PM_REMOVE)) {
        bool handOver = WSAGETSELECTEVENT(m.lParam) == kHandOver;
        if (!handOver && SOCKET(m.wParam) == closed) continue;
        if (keptCount < 16)
            kept[keptCount++] = m;
        else if (handOver) {
            closesocket(SOCKET(m.wParam));
            --queuedHandOvers;
        }
    }
    for (int i = 0; i < keptCount; ++i)
        PostMessageA(app.mainWindow, WM_USER, kept[i].wParam, kept[i].lParam);
}

// Ends the check without reading more.
void endAwaitedCheck(AwaitedCheck& check) {
    if (!check.socket) return;
    if (app.mainWindow) KillTimer(app.mainWindow, check.timer);
    SOCKET s = check.socket.get();
    WSAAsyncSelect(s, app.mainWindow, 0, 0);
    check.socket.reset();
    if (app.mainWindow) dropQueuedEvents(s);
}

// A check the user started ends with a message, whatever stopped it; a background check says
// nothing of a failure.
void showCheckFailed(bool interactive) {
    if (interactive) gbkMessageBox(nullptr, "检查更新失败!", "", MB_OK);
}

void CALLBACK onReplyTimeout(HWND, UINT, UINT_PTR timer, DWORD) {
    atBoundary(0, [timer] {
        for (AwaitedCheck& check : awaitedChecks)
            if (check.timer == timer && check.socket) {
                endAwaitedCheck(check);
                showCheckFailed(check.interactive);
            }
        return 0;
    });
}

bool resolveUpdateHost(sockaddr_in& address, const char* host) {
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    const hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list || !entry->h_addr_list[0] ||
        entry->h_length != int(sizeof address.sin_addr))
        return false;
    std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof address.sin_addr);
    address.sin_port = htons(kUpdatePort);
    return true;
}

// A connect that gives up after updateTimeouts.connectMs; the socket is blocking again after it.
bool connectWithin(SOCKET s, const sockaddr_in& address) {
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) return false;
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval wait{long(updateTimeouts.connectMs / 1000), long(updateTimeouts.connectMs % 1000) * 1000};
        if (select(0, nullptr, &writable, &failed, &wait) != 1 || !FD_ISSET(s, &writable)) return false;
        int error = 0, size = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 || error != 0)
            return false;
    }
    u_long blocking = 0;
    return ioctlsocket(s, FIONBIO, &blocking) == 0;
}

bool sendUpdateRequest(SOCKET s, UpdateRequest which, bool interactive) {
    char request[kRequestCapacity];
    size_t length =
        formatUpdateRequest(request, sizeof request, which, settings.updateHost, dataStore.dataName);
    if (length > 0 && send(s, request, int(length), 0) == int(length)) return true;
    if (interactive) gbkMessageBox(nullptr, "send err", "", MB_OK);
    return false;
}

// The first request, on a connection of its own whose reply is not read; it is closed at once.
void visitSite(const sockaddr_in& address, bool interactive) {
    Socket site(socket(AF_INET, SOCK_STREAM, 0));
    if (site && connectWithin(site.get(), address))
        sendUpdateRequest(site.get(), UpdateRequest::kSite, interactive);
}

// Main thread: the connected socket becomes the awaited check of its kind, replacing the one
// of that kind still awaited.
bool awaitReply(Socket s, bool interactive) {
    AwaitedCheck& check = awaitedCheck(interactive);
    endAwaitedCheck(check);
    if (WSAAsyncSelect(s.get(), app.mainWindow, WM_USER, FD_READ | FD_CONNECT | FD_CLOSE) != 0) {
        showCheckFailed(interactive);
        return false;
    }
    clearUpdateReply(check.reply);
    check.socket = std::move(s);
    if (!sendUpdateRequest(check.socket.get(), UpdateRequest::kUpFile, interactive)) {
        endAwaitedCheck(check);
        return false;
    }
    SetTimer(app.mainWindow, check.timer, updateTimeouts.replyMs, onReplyTimeout);
    return true;
}

// What has arrived; false once the reply is too long (the check has then ended, and a user's
// check has said so).
bool readArrived(AwaitedCheck& check, bool untilClosed) {
    char chunk[kReplyCapacity];
    do {
        int got = recv(check.socket.get(), chunk, int(sizeof chunk), 0);
        if (got <= 0) break;
        if (!appendToUpdateReply(check.reply, chunk, size_t(got))) {
            endAwaitedCheck(check);
            showCheckFailed(check.interactive);
            return false;
        }
    } while (untilClosed);
    return true;
}

// The order a Chinese system's lstrcmpA gives, whatever the user's locale.
int localeOrder(const char* a, const char* b) {
    return compareGbkText(a, b);
}

// The reply of a check that has ended, answered as that check was asked.
void reportUpdateReply(const UpdateReply& reply, bool onDemand) {
    UpdateInfo info;
    UpdateVerdict verdict =
        parseUpdateReply(reply, RunningCopy{dataStore.updateDate, settings.versionString, localeOrder}, info);
    char text[1024];
    const char* caption = nullptr;
    switch (verdict) {
    case UpdateVerdict::kUpToDate:
        if (!onDemand) return;
        std::snprintf(text, sizeof text, "您目前使用的 %s %s “Kovanta”信息是最新的！", dataStore.titlePart1,
                      dataStore.titlePart2);
        gbkMessageBox(nullptr, text, "提示", MB_ICONINFORMATION);
        return;
    case UpdateVerdict::kNewData:
        caption = "信息更新通知";
        std::snprintf(
            text, sizeof text,
            "    您目前使用的 %s %s “Kovanta”是 %s 的，现在网上最新的为%s。\r\n\r\n  "
            "强烈建议你使用最新的“Kovanta”！\r\n\r\n    你现在已连到互连网上了。\r\n\r\n    现在就下载吗？",
            dataStore.titlePart1, dataStore.titlePart2, dataStore.updateDate, info.date);
        break;
    case UpdateVerdict::kNewProgram:
        caption = "软件升级通知";
        std::snprintf(
            text, sizeof text,
            "    您正在使用的 %s %s “Kovanta”是 %s 版本 的软件，现在此软件已经升级为 %s 版本。\r\n%s\r\n    "
            "你现在已连到互连网上了。\r\n\r\n    现在就下载吗？",
            dataStore.titlePart1, dataStore.titlePart2, settings.versionString, info.version,
            info.description);
        break;
    case UpdateVerdict::kNotOk:
    case UpdateVerdict::kUnreadable:
    case UpdateVerdict::kNoLength:
    case UpdateVerdict::kTooLong: showCheckFailed(onDemand); return;
    }
    if (gbkMessageBox(nullptr, text, caption, MB_ICONINFORMATION | MB_YESNO) == IDYES) startUpdateDownload();
}

DWORD WINAPI updateThreadMain(void*) {
    atBoundary(false, [] { return checkForUpdates(settings.updateHost, false); });
    --runningThreads;
    return 0;
}

} // namespace

void (*openDownload)(HWND, const char*) = openHidden;

void startUpdateThread() {
    ++runningThreads;
    HANDLE thread = CreateThread(nullptr, 0, updateThreadMain, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(thread);
    else
        --runningThreads;
}

bool checkForUpdates(const char* host, bool interactive) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        WSACleanup();
        showCheckFailed(interactive);
        return false;
    }
    Socket s(socket(AF_INET, SOCK_STREAM, 0));
    if (!s) {
        showCheckFailed(interactive);
        return false;
    }
    sockaddr_in address;
    if (!resolveUpdateHost(address, host)) {
        if (interactive) gbkMessageBox(nullptr, "网络不通!", "", MB_OK);
        return false;
    }
    if (!connectWithin(s.get(), address)) {
        if (interactive) gbkMessageBox(app.mainWindow, "连接错误!网络不通,再试!", "", MB_OK);
        return false;
    }
    visitSite(address, interactive);
    if (!app.mainWindow) { // nobody to read the reply
        showCheckFailed(interactive);
        return false;
    }
    if (onMainThread()) return awaitReply(std::move(s), interactive);
    ++queuedHandOvers;
    if (!PostMessageA(app.mainWindow, WM_USER, WPARAM(s.get()), WSAMAKESELECTREPLY(kHandOver, 0))) {
        --queuedHandOvers;
        return false;
    }
    s.release();
    return true;
}

void onSocketEvent(WPARAM socket, LPARAM event) {
    SOCKET s = SOCKET(socket);
    if (WSAGETSELECTEVENT(event) == kHandOver) {
        --queuedHandOvers;
        awaitReply(Socket(s), false);
        return;
    }
    AwaitedCheck* check = checkOfSocket(s);
    if (!check) return; // a check that has ended
    switch (WSAGETSELECTEVENT(event)) {
    case FD_READ: readArrived(*check, false); break;
    case FD_CLOSE: {
        // What is still unread comes first; the reply is then complete.
        if (!readArrived(*check, true)) break;
        endAwaitedCheck(*check);
        // The notice may wait for the user while another check's reply comes in: it works on
        // a copy of this one.
        UpdateReply reply = check->reply;
        reportUpdateReply(reply, check->interactive);
        break;
    }
    default: break;
    }
}

void cancelUpdateCheck() {
    for (AwaitedCheck& check : awaitedChecks)
        endAwaitedCheck(check);
    // Sockets handed over but not yet taken are closed too.
    MSG m;
    while (app.mainWindow && PeekMessageW(&m, app.mainWindow, WM_USER, WM_USER, PM_REMOVE))
        if (WSAGETSELECTEVENT(m.lParam) == kHandOver) {
            closesocket(SOCKET(m.wParam));
            --queuedHandOvers;
        }
}

void startUpdateDownload() {
    char url[kDownloadUrlCapacity];
    if (formatDownloadUrl(url, sizeof url, settings.updateHost, dataStore.dataName) > 0)
        openDownload(app.mainWindow, url);
    DestroyWindow(app.mainWindow);
}

bool updateCheckBusy() {
    return runningThreads > 0 || queuedHandOvers > 0 || bool(awaitedChecks[0].socket) ||
           bool(awaitedChecks[1].socket);
}
