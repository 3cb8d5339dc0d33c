// The 64-bit millisecond count made from the 32-bit one, for Windows that has only the latter.
#pragma once

#include <atomic>
#include <cstdint>

// The 32-bit count wraps every 49.7 days. last holds the newest widened count any thread has
// seen; a count read a little before it (another thread overtook this one) is placed just
// before it, not a wrap later. Right as long as some call comes at least every 24.8 days.
inline uint64_t widenTickCount(uint32_t now, std::atomic<uint64_t>& last) {
    uint64_t seen = last.load(std::memory_order_relaxed);
    for (;;) {
        if (seen == 0) {
            if (now == 0 || last.compare_exchange_weak(seen, now, std::memory_order_relaxed)) return now;
            continue;
        }
        const auto ahead = int32_t(now - uint32_t(seen));
        const uint64_t widened = seen + uint64_t(int64_t(ahead));
        if (ahead <= 0 || last.compare_exchange_weak(seen, widened, std::memory_order_relaxed))
            return widened;
    }
}
