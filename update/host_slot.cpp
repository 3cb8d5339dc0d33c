// The one update-host slot of the program.
#include "host_slot.h"

#ifndef KOVANTA_UPDATE_HOST
#define KOVANTA_UPDATE_HOST "update.kovanta.example"
#endif

extern const volatile HostSlot updateHostSlot;
const volatile HostSlot updateHostSlot = {"KovantaHostSlot", KOVANTA_UPDATE_HOST};

const char* builtInUpdateHost() {
    static char host[kHostSlotSize];
    for (size_t i = 0; i + 1 < kHostSlotSize; ++i)
        host[i] = updateHostSlot.host[i];
    host[kHostSlotSize - 1] = '\0';
    return host;
}
