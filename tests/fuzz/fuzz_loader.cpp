// Fuzz target for the database loader. The input is the database stream: it is written after
// a 1078-byte zero header as the raster file, loaded with a fixed local time, and every
// loaded record is walked (each text field must be terminated inside its field) and freed.
#include <cstdint>
#include <cstring>
#include <vector>

#include "container.h"
#include "database.h"
#include "fuzz_support.h"
#include "lzw.h"

namespace {

volatile size_t expiryTouched;

// The expiry texts never reach the store; they are checked as they go by.
void checkExpiryText(ExpiryOf, int32_t, const char* text) {
    if (strnlen(text, kExpiryFieldCapacity) >= size_t(kExpiryFieldCapacity))
        fuzz::fail("an expiry text without its terminator");
    expiryTouched = expiryTouched + std::strlen(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUpProcess();
    expiryTextSink = checkExpiryText;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::loadStream(data, size);
    fuzz::walkDatabase();
    freeDatabase();
    return 0;
}
