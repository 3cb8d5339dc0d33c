// The update check's exchange with the update host, without the sockets: the two request texts,
// the reply text as its reads arrive, the reader of the reply and the download address.
#pragma once

#include <cstddef>

#include "update_body.h"

inline constexpr unsigned short kUpdatePort = 80;
inline constexpr size_t kRequestCapacity = 512;
inline constexpr size_t kReplyCapacity = 2048; // the reply text and its terminator
inline constexpr size_t kDownloadUrlCapacity = 256;

// The site's front page (a visit the host may count; its reply is never read), and the data
// set's .up file.
enum class UpdateRequest { kSite = 0, kUpFile = 1 };

// The request, byte for byte, into buffer. Returns its length; 0 when it does not fit.
size_t formatUpdateRequest(char* buffer, size_t capacity, UpdateRequest which, const char* host,
                           const char* dataName);
// "http://HOST/datas/NAME.exe". Returns its length; 0 when it does not fit.
size_t formatDownloadUrl(char* buffer, size_t capacity, const char* host, const char* dataName);

// The reply text of one check. It ends at the first NUL byte received, wherever the reads
// split the reply; a reply longer than the text holds is marked and no longer kept.
struct UpdateReply {
    char text[kReplyCapacity];
    size_t length;    // bytes in text, below kReplyCapacity
    size_t received;  // every byte that arrived
    bool nulReceived; // a NUL byte arrived at text[length]
};

void clearUpdateReply(UpdateReply& reply);
// Adds one read. False when the reply has grown past kReplyCapacity - 1 bytes.
bool appendToUpdateReply(UpdateReply& reply, const char* bytes, size_t count);
inline bool updateReplyTooLong(const UpdateReply& reply) {
    return reply.received >= kReplyCapacity;
}

struct UpdateInfo {
    char date[kUpDateLimit + 1];
    char version[kUpVersionLimit + 1];
    char description[kUpDescriptionLimit + 1];
};

// What the running copy is compared with, and the text order used (the Chinese locale's in the program).
struct RunningCopy {
    const char* updateDate;
    const char* versionString;
    int (*compare)(const char*, const char*);
};

enum class UpdateVerdict {
    kUpToDate,   // the published date is not newer
    kNewData,    // a newer date with a version that is not newer
    kNewProgram, // a newer date and a newer version, with its description
    kNoLength,   // no "Content-Length:" header: nothing to say
    kTooLong,    // the reply passed what the text holds: nothing to say
    kNotOk,      // the status line does not say 200 (an error page)
    kUnreadable, // no end of the head, or an item past the end of the reply or over its limit
};

// Reads a reply: the status line, the "Content-Length:" header in any case, and the body after
// the empty line that ends the head, as it came. info holds the items that were read.
UpdateVerdict parseUpdateReply(const UpdateReply& reply, const RunningCopy& running, UpdateInfo& info);
