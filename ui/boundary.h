// The edge between the program and the system: window and dialog procedures, hooks, timer
// callbacks and thread entries run their work through atBoundary, so nothing thrown below them
// crosses into the system's code.
#pragma once

#include <new>

// The program's answer to an allocation that failed: the "内存不足!" message, then the process
// ends with status 0, as when the database cannot be loaded.
void reportOutOfMemory();

// The result of work(), or onFailure once an allocation below it failed (reported first). Any
// other exception ends the program here (noexcept) rather than unwinding through the system.
template <typename Result, typename Work> Result atBoundary(Result onFailure, Work&& work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
    }
    return onFailure;
}
