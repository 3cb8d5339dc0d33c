// The update exchange without sockets: request texts, the reply as reads bring it, and what the
// reply says against the running copy's date and version.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "update_body.h"
#include "update_exchange.h"

namespace {

using namespace std::string_literals;

// nginx's head for a .up file: "Content-Length:" with further headers after it.
std::string nginxHead(size_t bodyLength) {
    return "HTTP/1.1 200 OK\r\nServer: nginx/1.22.1\r\nDate: Mon, 07 Dec 2026 08:00:00 GMT\r\n"
           "Content-Type: application/octet-stream\r\nContent-Length: " +
           std::to_string(bodyLength) +
           "\r\nLast-Modified: Mon, 07 Dec 2026 07:00:00 GMT\r\nConnection: close\r\n"
           "ETag: \"6570a1b0-13\"\r\nAccept-Ranges: bytes\r\n\r\n";
}

std::string item(const std::string& text) {
    return std::string(1, char(text.size())) + text;
}

std::string body(const std::string& date, const std::string& version, const std::string& description) {
    return item(date) + item(version) + item(description);
}

// The reply as reads of the given sizes bring it (the rest in one last read).
UpdateReply replyOf(const std::string& bytes, std::vector<size_t> reads = {}) {
    UpdateReply reply;
    clearUpdateReply(reply);
    size_t at = 0;
    for (size_t size : reads) {
        appendToUpdateReply(reply, bytes.data() + at, size);
        at += size;
    }
    appendToUpdateReply(reply, bytes.data() + at, bytes.size() - at);
    return reply;
}

const RunningCopy kRunning{"2026-12-01", "1.3",
                           [](const char* a, const char* b) { return std::strcmp(a, b); }};

struct Read {
    UpdateVerdict verdict;
    std::string date, version, description;
    bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Read& r) {
    return out << "verdict " << int(r.verdict) << " date \"" << r.date << "\" version \"" << r.version
               << "\" description \"" << r.description << "\"";
}

Read readReply(const UpdateReply& reply, const RunningCopy& running = kRunning) {
    UpdateInfo info;
    UpdateVerdict verdict = parseUpdateReply(reply, running, info);
    return {verdict, info.date, info.version, info.description};
}

Read readReply(const std::string& bytes) {
    return readReply(replyOf(bytes));
}

TEST(UpdateRequestTest, TextsByteForByte) {
    char buffer[kRequestCapacity];
    std::string site =
        "GET http://update.kovanta.example HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n";
    EXPECT_EQ(formatUpdateRequest(buffer, sizeof buffer, UpdateRequest::kSite, "update.kovanta.example",
                                  "kovanta-it"),
              site.size());
    EXPECT_EQ(std::string(buffer), site);
    std::string up =
        "GET http://127.0.0.1/datas/kovanta-it.up HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n";
    EXPECT_EQ(formatUpdateRequest(buffer, sizeof buffer, UpdateRequest::kUpFile, "127.0.0.1", "kovanta-it"),
              up.size());
    EXPECT_EQ(std::string(buffer), up);
    EXPECT_EQ(formatUpdateRequest(buffer, 20, UpdateRequest::kSite, "127.0.0.1", ""), 0u) << "does not fit";
    // The longest host (59 bytes) and data set name (31) fit the program's buffers.
    std::string host(59, 'h'), name(31, 'n');
    EXPECT_GT(formatUpdateRequest(buffer, sizeof buffer, UpdateRequest::kUpFile, host.c_str(), name.c_str()),
              0u);
    char url[kDownloadUrlCapacity];
    ASSERT_GT(formatDownloadUrl(url, sizeof url, host.c_str(), name.c_str()), 0u);
    formatDownloadUrl(url, sizeof url, "127.0.0.1", "kovanta-it");
    EXPECT_EQ(std::string(url), "http://127.0.0.1/datas/kovanta-it.exe");
}

TEST(UpdateReplyTest, HeaderFoundInAnyCaseAndBodyReadAsItCame) {
    // A description of 65 bytes: its length byte is 'A'. Upper-case letters in every item.
    std::string description = "NEW Kovanta " + std::string(53, 'X');
    std::string b = body("2026-12-07A", "1.4B", description);
    Read expected{UpdateVerdict::kNewProgram, "2026-12-07A", "1.4B", description};
    EXPECT_EQ(readReply(nginxHead(b.size()) + b), expected);
    for (const char* key : {"CONTENT-LENGTH:", "content-length:", "Content-length:"}) {
        std::string reply = "HTTP/1.0 200 OK\r\n"s + key + " 80\r\n\r\n" + b;
        EXPECT_EQ(readReply(reply), expected) << key;
    }
}

TEST(UpdateReplyTest, BodyStartsAfterTheEmptyLine) {
    std::string b = body("2026-12-07", "1.3", "");
    Read newData{UpdateVerdict::kNewData, "2026-12-07", "1.3", ""};
    EXPECT_EQ(readReply(nginxHead(b.size()) + b), newData) << "further headers after Content-Length";
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\r\nContent-Length: 15\r\n\r\n" + b), newData) << "the last header";
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\nContent-Length: 15\nServer: x\n\n" + b), newData)
        << "lines in LF only";
    // A header line that merely contains the key is not the header.
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\r\nX-Content-Length: 15\r\n\r\n" + b).verdict,
              UpdateVerdict::kNoLength);
}

TEST(UpdateReplyTest, WithoutTheHeaderOrAnEndOfTheHeadNothingIsRead) {
    std::string b = body("2026-12-07", "1.4", "new");
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\r\nServer: x\r\n\r\n" + b).verdict, UpdateVerdict::kNoLength);
    // No CR (nor anything) after the key: the head never ends.
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\r\nContent-Length:"s).verdict, UpdateVerdict::kUnreadable);
    EXPECT_EQ(readReply("HTTP/1.0 200 OK\r\nContent-Length: 17\r\n" + b).verdict, UpdateVerdict::kUnreadable);
    EXPECT_EQ(readReply(""s).verdict, UpdateVerdict::kNotOk);
}

TEST(UpdateReplyTest, OnlyStatus200IsRead) {
    std::string b = body("2026-12-07", "1.4", "new");
    for (const char* status : {"HTTP/1.1 404 Not Found", "HTTP/1.1 500 Internal Server Error",
                               "HTTP/1.1 2000 X", "HTTP/1.1 302 Found 200", "ICY 200 OK", "http/1.0 200 OK"})
        EXPECT_EQ(readReply(status + "\r\nContent-Length: 18\r\n\r\n"s + b).verdict, UpdateVerdict::kNotOk)
            << status;
    EXPECT_EQ(readReply("HTTP/1.0 200\r\nContent-Length: 18\r\n\r\n"s + b).verdict,
              UpdateVerdict::kNewProgram)
        << "a status line without a reason phrase";
}

TEST(UpdateReplyTest, SplitAcrossReadsAtEveryByte) {
    std::string b = body("2026-12-07", "1.4", "新版本：更快");
    std::string reply = nginxHead(b.size()) + b;
    Read whole = readReply(reply);
    ASSERT_EQ(whole.verdict, UpdateVerdict::kNewProgram);
    for (size_t cut = 0; cut <= reply.size(); ++cut)
        ASSERT_EQ(readReply(replyOf(reply, {cut})), whole) << "two reads, the first of " << cut;
    EXPECT_EQ(readReply(replyOf(reply, std::vector<size_t>(reply.size(), 1))), whole) << "a byte at a time";
}

TEST(UpdateReplyTest, AReplyLongerThanTheTextIsNotRead) {
    std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 18\r\nX-Pad: ";
    std::string tail = "\r\n\r\n" + body("2026-12-07", "1.4", "new");
    std::string fits = head + std::string(kReplyCapacity - 1 - head.size() - tail.size(), 'p') + tail;
    ASSERT_EQ(fits.size(), 2047u);
    EXPECT_EQ(readReply(fits).verdict, UpdateVerdict::kNewProgram) << "2047 bytes fit";
    UpdateReply reply;
    clearUpdateReply(reply);
    EXPECT_TRUE(appendToUpdateReply(reply, fits.data(), fits.size()));
    EXPECT_FALSE(appendToUpdateReply(reply, "x", 1)) << "one more byte is too many";
    EXPECT_EQ(reply.length, 2047u);
    EXPECT_EQ(reply.text[2047], '\0');
    EXPECT_EQ(readReply(reply).verdict, UpdateVerdict::kTooLong);
    std::string huge(5000, 'y');
    for (size_t cut : {0u, 1u, 2047u, 2048u, 4999u})
        EXPECT_EQ(readReply(replyOf(huge, {cut})).verdict, UpdateVerdict::kTooLong) << cut;
}

TEST(UpdateReplyTest, ANulByteEndsTheText) {
    // An empty description last: its length byte is the NUL that ends the text.
    std::string b = body("2026-12-07", "1.4", "");
    std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: 16\r\n\r\n" + b;
    Read expected{UpdateVerdict::kNewProgram, "2026-12-07", "1.4", ""};
    EXPECT_EQ(readReply(reply), expected);
    // Whatever follows a NUL is not part of the text, however the reads split it.
    std::string cutAtDate = "HTTP/1.0 200 OK\r\nContent-Length: 16\r\n\r\n\x0a"
                            "2026\0-12-07\x03"
                            "1.4\x03new"s;
    for (size_t cut = 0; cut <= cutAtDate.size(); ++cut)
        ASSERT_EQ(readReply(replyOf(cutAtDate, {cut})).verdict, UpdateVerdict::kUnreadable) << cut;
}

TEST(UpdateReplyTest, ABodyEndingWhereAnItemBeginsGivesItEmpty) {
    std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 15\r\n\r\n";
    EXPECT_EQ(readReply(head + item("2026-12-07") + item("1.4")),
              (Read{UpdateVerdict::kNewProgram, "2026-12-07", "1.4", ""}));
    EXPECT_EQ(readReply(head + item("2026-12-07")), (Read{UpdateVerdict::kNewData, "2026-12-07", "", ""}));
    EXPECT_EQ(readReply(head + item("2026-11-07")).verdict, UpdateVerdict::kUpToDate);
}

TEST(UpdateReplyTest, ItemsPastTheEndOrOverTheirLimitAreNotRead) {
    std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 99\r\n\r\n";
    EXPECT_EQ(readReply(head).verdict, UpdateVerdict::kUnreadable) << "no body";
    EXPECT_EQ(readReply(head + "\x0a"
                               "2026-12")
                  .verdict,
              UpdateVerdict::kUnreadable)
        << "date past the end";
    EXPECT_EQ(readReply(head + item("2026-12-07") +
                        "\x05"
                        "1.4")
                  .verdict,
              UpdateVerdict::kUnreadable);
    EXPECT_EQ(readReply(head + item("2026-12-07") + item("1.4") +
                        "\xff"
                        "short")
                  .verdict,
              UpdateVerdict::kUnreadable);
    std::string date16(16, '9'), version12 = "1." + std::string(10, '9');
    EXPECT_EQ(readReply(head + body(date16, "1.4", "")).verdict, UpdateVerdict::kUnreadable);
    EXPECT_EQ(readReply(head + body("2026-12-07", version12, "")).verdict, UpdateVerdict::kUnreadable);
    std::string date15(15, '9'), version11 = "1." + std::string(9, '9'), description255(255, 'd');
    EXPECT_EQ(readReply(head + body(date15, version11, description255)),
              (Read{UpdateVerdict::kNewProgram, date15, version11, description255}))
        << "items at their limits";
}

TEST(UpdateReplyTest, DatesAndVersionsComparedWithTheRunningCopy) {
    auto verdictFor = [](const std::string& date, const std::string& version) {
        std::string b = body(date, version, "d");
        return readReply("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\n" + b).verdict;
    };
    EXPECT_EQ(verdictFor("2026-12-01", "1.3"), UpdateVerdict::kUpToDate) << "date equal";
    EXPECT_EQ(verdictFor("2026-11-30", "1.3"), UpdateVerdict::kUpToDate) << "date older";
    EXPECT_EQ(verdictFor("2026-12-01", "1.4"), UpdateVerdict::kUpToDate)
        << "a newer version alone is not read";
    EXPECT_EQ(verdictFor("2026-12-02", "1.3"), UpdateVerdict::kNewData) << "version equal";
    EXPECT_EQ(verdictFor("2026-12-02", "1.2"), UpdateVerdict::kNewData) << "version older";
    EXPECT_EQ(verdictFor("2026-12-02", "1.4"), UpdateVerdict::kNewProgram) << "version newer";
    // The comparison is the one given (the program's is lstrcmpA).
    RunningCopy reversed = kRunning;
    reversed.compare = [](const char* a, const char* b) { return std::strcmp(b, a); };
    std::string b = body("2026-11-30", "1.3", "");
    EXPECT_EQ(readReply(replyOf("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\n" + b), reversed).verdict,
              UpdateVerdict::kNewData);
}

TEST(UpdateReplyTest, BodyWrittenForTheHostReadBack) {
    std::vector<uint8_t> written;
    std::string error;
    ASSERT_TRUE(writeUpdateBody("2026-12-07", "1.4", "修正了搜索。\r\n新增记事本导出。", written, error));
    std::string b(written.begin(), written.end());
    EXPECT_EQ(readReply(nginxHead(b.size()) + b),
              (Read{UpdateVerdict::kNewProgram, "2026-12-07", "1.4", "修正了搜索。\r\n新增记事本导出。"}));
    ASSERT_TRUE(writeUpdateBody("2026-12-07", "1.3", "", written, error));
    b.assign(written.begin(), written.end());
    EXPECT_EQ(readReply(nginxHead(b.size()) + b), (Read{UpdateVerdict::kNewData, "2026-12-07", "1.3", ""}));
}

} // namespace
