// The fatal diagnostics of the container reader and the image decoder.
#include "diagnostics.h"

#include <cstdio>

#include "platform.h"

void fatalError(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    failStartup(StartupFailure::DamagedData, 5);
}

void fatalNoContainer(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    failStartup(StartupFailure::NoData, 5);
}

void fatalOutOfMemory(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    failStartup(StartupFailure::OutOfMemory, 5);
}
