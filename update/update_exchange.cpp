// Request texts, the reply text and the reply's reader.
#include "update_exchange.h"

#include <cstdio>
#include <cstring>

namespace {

size_t formatted(int length, size_t capacity) {
    return length > 0 && size_t(length) < capacity ? size_t(length) : 0;
}

// A bounded cursor over the reply text.
struct Cursor {
    const char* text;
    size_t length, at;
    bool atEnd() const { return at >= length; }
};

// One line of the head, without its LF and the CR before it. False when no LF ends it.
bool nextLine(Cursor& c, const char*& line, size_t& lineLength) {
    const void* lf = std::memchr(c.text + c.at, '\n', c.length - c.at);
    if (!lf) return false;
    size_t end = size_t(static_cast<const char*>(lf) - c.text);
    line = c.text + c.at;
    lineLength = end - c.at;
    if (lineLength > 0 && line[lineLength - 1] == '\r') --lineLength;
    c.at = end + 1;
    return true;
}

bool startsWithNoCase(const char* text, size_t length, const char* key) {
    size_t keyLength = std::strlen(key);
    if (length < keyLength) return false;
    for (size_t i = 0; i < keyLength; ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(key[i]);
        if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// "HTTP/x.y 200 ...": the version, one or more blanks, then the code 200 standing alone.
bool statusIsOk(const char* line, size_t length) {
    if (length < 5 || std::memcmp(line, "HTTP/", 5) != 0) return false;
    size_t i = 5;
    while (i < length && line[i] != ' ')
        ++i;
    while (i < length && line[i] == ' ')
        ++i;
    if (length - i < 3 || std::memcmp(line + i, "200", 3) != 0) return false;
    return length - i == 3 || line[i + 3] == ' ';
}

// One item of the body: a length byte and that many bytes, at most limit. An item that starts
// where the text ends reads its terminator as the length 0: the empty text.
bool readItem(Cursor& c, char* field, size_t limit) {
    if (c.atEnd()) {
        field[0] = '\0';
        return true;
    }
    size_t count = static_cast<unsigned char>(c.text[c.at]);
    if (count > limit || count > c.length - c.at - 1) return false;
    std::memcpy(field, c.text + c.at + 1, count);
    field[count] = '\0';
    c.at += 1 + count;
    return true;
}

} // namespace

size_t formatUpdateRequest(char* buffer, size_t capacity, UpdateRequest which, const char* host,
                           const char* dataName) {
    int length =
        which == UpdateRequest::kSite
            ? std::snprintf(buffer, capacity,
                            "GET http://%s HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n", host)
            : std::snprintf(buffer, capacity,
                            "GET http://%s/datas/%s.up HTTP/1.0\r\nAccept: */*\r\nAccept: Text/Html\r\n\r\n",
                            host, dataName);
    return formatted(length, capacity);
}

size_t formatDownloadUrl(char* buffer, size_t capacity, const char* host, const char* dataName) {
    return formatted(std::snprintf(buffer, capacity, "http://%s/datas/%s.exe", host, dataName), capacity);
}

void clearUpdateReply(UpdateReply& reply) {
    reply.text[0] = '\0';
    reply.length = 0;
    reply.received = 0;
    reply.nulReceived = false;
}

bool appendToUpdateReply(UpdateReply& reply, const char* bytes, size_t count) {
    size_t room = kReplyCapacity - reply.received;
    reply.received += count < room ? count : room;
    if (!reply.nulReceived) {
        size_t keep = count < kReplyCapacity - 1 - reply.length ? count : kReplyCapacity - 1 - reply.length;
        const void* nul = std::memchr(bytes, '\0', keep);
        if (nul) {
            keep = size_t(static_cast<const char*>(nul) - bytes);
            reply.nulReceived = true;
        }
        std::memcpy(reply.text + reply.length, bytes, keep);
        reply.length += keep;
        reply.text[reply.length] = '\0';
    }
    return !updateReplyTooLong(reply);
}

// The reply is an HTTP/1.0 response: a status line, header lines, an empty line, and the body
// of the .up file, each item one unsigned length byte and that many bytes:
//   1 the newest data date (at most 15 bytes)
//   2 the newest program version (at most 11), read when the date is newer than ours
//   3 a description of that program (at most 255), read when the version is newer too.
// A body that ends where the version or the description would begin gives it empty; one
// without even a date is not read. Lines end in LF, with or without a CR before it.
UpdateVerdict parseUpdateReply(const UpdateReply& reply, const RunningCopy& running, UpdateInfo& info) {
    info.date[0] = info.version[0] = info.description[0] = '\0';
    if (updateReplyTooLong(reply)) return UpdateVerdict::kTooLong;
    Cursor c{reply.text, reply.length, 0};
    const char* line = nullptr;
    size_t lineLength = 0;
    bool ok = nextLine(c, line, lineLength) && statusIsOk(line, lineLength);
    bool hasLength = false, headEnded = false;
    while (!headEnded && nextLine(c, line, lineLength)) {
        if (lineLength == 0)
            headEnded = true;
        else if (startsWithNoCase(line, lineLength, "content-length:"))
            hasLength = true;
    }
    if (!ok) return UpdateVerdict::kNotOk;
    if (!headEnded) return UpdateVerdict::kUnreadable;
    if (!hasLength) return UpdateVerdict::kNoLength;

    if (c.atEnd() || !readItem(c, info.date, kUpDateLimit)) return UpdateVerdict::kUnreadable;
    if (running.compare(info.date, running.updateDate) <= 0) return UpdateVerdict::kUpToDate;
    if (!readItem(c, info.version, kUpVersionLimit)) return UpdateVerdict::kUnreadable;
    if (running.compare(info.version, running.versionString) <= 0) return UpdateVerdict::kNewData;
    if (!readItem(c, info.description, kUpDescriptionLimit)) return UpdateVerdict::kUnreadable;
    return UpdateVerdict::kNewProgram;
}
