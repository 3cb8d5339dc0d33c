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
    fuzz::InScratchDirectory inScratch;
    std::vector<uint8_t> raster(kRasterHeaderSize, 0);
    raster.insert(raster.end(), data, data + size);
    fuzz::writeFile(kRasterFileName, raster);
    std::snprintf(dataStore.rasterFileName, sizeof dataStore.rasterFileName, "%s", kRasterFileName);

    int result = -1;
    try {
        result = loadDatabase();
    } catch (const fuzz::ProcessExit&) {
        fuzz::fail("the loader ended the process");
    }
    if (result != 1) fuzz::fail("the loader did not find its raster file");
    fuzz::walkDatabase();
    freeDatabase();
    return 0;
}
