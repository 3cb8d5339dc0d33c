// Local wall-clock times as 100-nanosecond ticks since 1601-01-01, the way the program compares
// the load time with expiry dates (no time-zone conversion on either side).
#pragma once

#include <cstdint>
#include <optional>

#include "platform.h"

// Ticks of the given time, or nothing when it is not a real date and time.
std::optional<uint64_t> localTimeToTicks(const LocalTime& time);
