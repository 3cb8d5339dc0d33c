// A stand-in program image for packing and dumping until the Windows program is built: it
// carries the update-host slot like the real program and says what it is when run.
#include <cstdio>

#include "host_slot.h"

int main() {
    std::printf("Kovanta placeholder image; update host %s\n", builtInUpdateHost());
    return 0;
}
