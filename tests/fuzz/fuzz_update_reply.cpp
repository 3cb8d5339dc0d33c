// Fuzz target for the update check's reply: the first byte is the size of the reads the reply
// arrives in (0: one read), the rest is the reply. The reader may look at no byte of the text
// past its end (the rest of the buffer is poisoned), the items it gives stay within their
// limits, and the reads' sizes change nothing.
#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "update_exchange.h"

namespace {

int byteOrder(const char* a, const char* b) {
    return std::strcmp(a, b);
}

struct Outcome {
    UpdateVerdict verdict;
    UpdateInfo info;
};

Outcome readIn(const uint8_t* data, size_t size, size_t step) {
    auto reply = std::make_unique<UpdateReply>();
    clearUpdateReply(*reply);
    const auto* bytes = reinterpret_cast<const char*>(data);
    for (size_t at = 0; at < size;) {
        size_t count = step == 0 || size - at < step ? size - at : step;
        appendToUpdateReply(*reply, bytes + at, count);
        at += count;
    }
    if (reply->length >= kReplyCapacity || reply->text[reply->length] != '\0')
        fuzz::fail("the reply text is not terminated inside its buffer");
    if (std::memchr(reply->text, '\0', reply->length)) fuzz::fail("a NUL byte inside the reply text");
    // Everything past the terminator is out of bounds for the reader.
    char* past = reply->text + reply->length + 1;
    size_t pastSize = kReplyCapacity - reply->length - 1;
    ASAN_POISON_MEMORY_REGION(past, pastSize);
    Outcome outcome;
    outcome.verdict = parseUpdateReply(*reply, RunningCopy{"2026-12-01", "1.3", byteOrder}, outcome.info);
    ASAN_UNPOISON_MEMORY_REGION(past, pastSize);
    return outcome;
}

void checkItem(const char* field, size_t capacity, const char* what) {
    if (strnlen(field, capacity) == capacity) fuzz::fail(what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Outcome split = readIn(data + 1, size - 1, data[0]);
    Outcome whole = readIn(data + 1, size - 1, 0);
    checkItem(split.info.date, sizeof split.info.date, "a date over its limit");
    checkItem(split.info.version, sizeof split.info.version, "a version over its limit");
    checkItem(split.info.description, sizeof split.info.description, "a description over its limit");
    if (split.verdict != whole.verdict || std::strcmp(split.info.date, whole.info.date) != 0 ||
        std::strcmp(split.info.version, whole.info.version) != 0 ||
        std::strcmp(split.info.description, whole.info.description) != 0)
        fuzz::fail("the reply reads differently in reads of another size");
    bool announces = split.verdict == UpdateVerdict::kNewData || split.verdict == UpdateVerdict::kNewProgram;
    if (announces && std::strcmp(split.info.date, "2026-12-01") <= 0) fuzz::fail("an older date announced");
    if (split.verdict == UpdateVerdict::kNewProgram && std::strcmp(split.info.version, "1.3") <= 0)
        fuzz::fail("an older program announced");
    return 0;
}
