// The update check of the program's main window against the tests' nginx on 127.0.0.1:80
// (tests/win/update_host_fixture.sh publishes current.up, newdata.up and newprogram.up), and
// against hosts that cannot be reached or never answer.
#include <winsock2.h>

#include "program_fixture.h"

#include "app_state.h"
#include "resource.h"
#include "update_check.h"

// Found by argument-dependent lookup, beside ShownMessage.
static bool operator==(const ShownMessage& a, const ShownMessage& b) {
    return a.caption == b.caption && a.text == b.text;
}

static void PrintTo(const ShownMessage& m, std::ostream* out) {
    *out << "{\"" << m.caption << "\", \"" << m.text << "\"}";
}

namespace {

std::vector<std::string> downloads;

void recordDownload(HWND, const char* url) {
    downloads.push_back(url);
}

const ShownMessage kExpiryNotice{
    "提示", "已经有2条过时信息。过时信息将不被显示。\r\n\r\n    建议你下载最新的商情。\r\n"
            "      现在下载吗？"};
const ShownMessage kUpToDate{"提示", "您目前使用的 华东 电脑商情 “Kovanta”信息是最新的！"};
const ShownMessage kNewData{
    "信息更新通知", "    您目前使用的 华东 电脑商情 “Kovanta”是 2026-12-01 的，现在网上最新的为2026-12-07。"
                    "\r\n\r\n  强烈建议你使用最新的“Kovanta”！\r\n\r\n    你现在已连到互连网上了。\r\n\r\n"
                    "    现在就下载吗？"};
const ShownMessage kNewProgram{
    "软件升级通知",
    "    您正在使用的 华东 电脑商情 “Kovanta”是 1.3 版本 的软件，现在此软件已经升级为 1.4 "
    "版本。\r\n    新版本的搜索更快。\r\n    你现在已连到互连网上了。\r\n\r\n    现在就下载吗？"};
const ShownMessage kCheckFailed{"", "检查更新失败!"};

class UpdateCheckTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        downloads.clear();
        openDownload = recordDownload;
        updateTimeouts = UpdateTimeouts{};
    }

    // The sample catalogue as data set name; its expiry notice is answered No first.
    void startWith(const char* dataName, const char* host, std::vector<int> answers = {}) {
        Catalogue c = sampleCatalogue();
        c.dataName = dataName;
        updateHost = host;
        answers.insert(answers.begin(), IDNO);
        start(c, answers);
        ASSERT_TRUE(settleUpdateCheck()) << "the start-up check did not end";
    }

    // Command 103, as the menu sends it.
    void checkOnDemand() {
        SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_UPDATE, 0), 0);
        ASSERT_TRUE(settleUpdateCheck()) << "the check did not end";
    }
};

TEST_F(UpdateCheckTest, UpToDateIsSaidOnlyWhenTheUserAsks) {
    startWith("current", "127.0.0.1");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice})) << "the start-up check says nothing";
    checkOnDemand();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kUpToDate}));
    EXPECT_TRUE(downloads.empty());
}

TEST_F(UpdateCheckTest, NewDataIsOfferedAtStartUp) {
    startWith("newdata", "127.0.0.1", {IDNO});
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kNewData}));
    EXPECT_TRUE(downloads.empty()) << "declined";
    EXPECT_TRUE(IsWindow(app.mainWindow)) << "the program goes on";
    // The user's check offers it again.
    answers = {IDNO};
    checkOnDemand();
    EXPECT_EQ(messages.back(), kNewData);
}

TEST_F(UpdateCheckTest, NewProgramAcceptedOpensTheDownloadAndClosesTheWindow) {
    startWith("newprogram", "127.0.0.1", {IDYES});
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kNewProgram}));
    EXPECT_EQ(downloads, (std::vector<std::string>{"http://127.0.0.1/datas/newprogram.exe"}));
    EXPECT_FALSE(IsWindow(app.mainWindow));
}

TEST_F(UpdateCheckTest, TheStartUpChecksReplyLeavesTheUsersCheckInFlight) {
    Catalogue c = sampleCatalogue();
    c.dataName = "newdata";
    updateHost = "127.0.0.1";
    start(c, {IDNO, IDNO, IDNO});
    // The user's check is sent before the start-up check's reply is read.
    SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(IDM_UPDATE, 0), 0);
    ASSERT_TRUE(settleUpdateCheck()) << "a check did not end";
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kNewData, kNewData}))
        << "each check answers with its own reply";
}

// Replies the program cannot read: an error page (nginx's 404), no Content-Length, too long.
class UnreadableUpdateReplyTest : public UpdateCheckTest,
                                  public ::testing::WithParamInterface<const char*> {};

TEST_P(UnreadableUpdateReplyTest, TheStartUpCheckIsSilentAndTheUsersSaysItFailed) {
    startWith(GetParam(), "127.0.0.1");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice}));
    checkOnDemand();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kCheckFailed}));
    EXPECT_TRUE(downloads.empty());
}

INSTANTIATE_TEST_SUITE_P(UpdateReplies, UnreadableUpdateReplyTest,
                         ::testing::Values("unpublished", "nolength", "toolong"));

TEST_F(UpdateCheckTest, AHostThatRefusesIsSilentAtStartUp) {
    startWith("current", "127.0.0.2");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice}));
    checkOnDemand();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, {"", "连接错误!网络不通,再试!"}}));
}

TEST_F(UpdateCheckTest, AHostWithoutAnAddressIsSilentAtStartUp) {
    startWith("current", "no-such-host.invalid");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice}));
    checkOnDemand();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, {"", "网络不通!"}}));
}

// A host that accepts connections (its backlog does) but never answers.
class SilentHost {
  public:
    SilentHost() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(80);
        address.sin_addr.s_addr = htonl(0x7F000003); // 127.0.0.3
        bound_ = bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 listen(listener_, 8) == 0;
    }
    ~SilentHost() {
        closesocket(listener_);
        WSACleanup();
    }
    bool bound() const { return bound_; }

    // The next connection's request, and whether the program had closed it by then.
    struct Visit {
        std::string request;
        bool closed = false;
    };
    Visit nextVisit() {
        Visit visit;
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{5, 0};
        if (select(0, &ready, nullptr, nullptr, &wait) != 1) return visit;
        SOCKET c = accept(listener_, nullptr, nullptr);
        DWORD limit = 5000;
        setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
        char buffer[600];
        int got;
        while ((got = recv(c, buffer, sizeof buffer, 0)) > 0)
            visit.request.append(buffer, size_t(got));
        visit.closed = got == 0;
        closesocket(c);
        return visit;
    }

  private:
    SOCKET listener_ = INVALID_SOCKET;
    bool bound_ = false;
};

TEST_F(UpdateCheckTest, AHostThatNeverAnswersIsLeftAndEveryConnectionClosed) {
    SilentHost host;
    ASSERT_TRUE(host.bound()) << "127.0.0.3:80 is taken";
    updateTimeouts.replyMs = 300;
    startWith("current", "127.0.0.3");
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice})) << "the start-up check gives up silently";
    checkOnDemand();
    EXPECT_EQ(messages, (std::vector<ShownMessage>{kExpiryNotice, kCheckFailed}));
    EXPECT_EQ(windowText(app.mainWindow), "华东→电脑商情→Kovanta 更新日期：2026-12-01")
        << "the window still answers";

    // Two checks, each with the .up request and the site's front page, in the order they were
    // connected; all four connections closed by the program.
    const std::string up =
        "GET http://127.0.0.3/datas/current.up HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n";
    const std::string site = "GET http://127.0.0.3 HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n";
    for (int check = 0; check < 2; ++check) {
        SilentHost::Visit first = host.nextVisit(), second = host.nextVisit();
        EXPECT_EQ(first.request, up) << "check " << check;
        EXPECT_TRUE(first.closed) << "check " << check;
        EXPECT_EQ(second.request, site) << "check " << check;
        EXPECT_TRUE(second.closed) << "check " << check;
    }
}

} // namespace
