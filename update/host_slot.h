// The built-in update host name, kept in a marked 60-byte slot of the program image so that a
// publisher's packer can set it in a released program file without a compiler.
#pragma once

#include <cstddef>

inline constexpr char kHostSlotMarker[16] = "KovantaHostSlot"; // 15 characters and the zero
inline constexpr size_t kHostSlotSize = 60;                    // a host name of at most 59 bytes

struct HostSlot {
    char marker[16];
    char host[kHostSlotSize];
};

// The host name as the program file carries it (read through volatile, so a patched file's
// bytes are what the program sees).
const char* builtInUpdateHost();
