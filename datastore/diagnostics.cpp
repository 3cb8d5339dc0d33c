// The fatal diagnostic of the container reader and the image decoder.
#include "diagnostics.h"

#include <cstdio>

#include "platform.h"

void fatalError(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    endProcess(5);
}
