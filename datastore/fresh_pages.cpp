#include "fresh_pages.h"

#include <cstdint>
#include <thread>

FreshPages freshPages;

void FreshPages::begin(unsigned char* start, size_t size) {
    arrayEnd_ = start + size;
    // The first chunk is the loader's own: it is written at once.
    ownedEnd_ = helperPresent_ && size > kChunkSize ? start + kChunkSize : arrayEnd_;
    offerNext();
}

void FreshPages::advance(const unsigned char* end) {
    while (end > ownedEnd_ && ownedEnd_ < arrayEnd_) {
        settleOffer();
        ownedEnd_ = offerEnd_;
        offerNext();
    }
}

void FreshPages::finish() {
    if (ownedEnd_ < arrayEnd_) settleOffer();
    arrayEnd_ = ownedEnd_ = nullptr;
}

void FreshPages::offerNext() {
    if (ownedEnd_ == arrayEnd_) return;
    offerStart_ = ownedEnd_;
    offerEnd_ = size_t(arrayEnd_ - offerStart_) > kChunkSize ? offerStart_ + kChunkSize : arrayEnd_;
    state_.store(kOffered, std::memory_order_release);
}

// After this the helper has no part in the offered chunk.
void FreshPages::settleOffer() {
    int expected = kOffered;
    if (state_.compare_exchange_strong(expected, kNothingOffered, std::memory_order_acquire)) return;
    expected = kTouching;
    state_.compare_exchange_strong(expected, kStopAsked, std::memory_order_relaxed);
    while (state_.load(std::memory_order_acquire) != kSettledByHelper)
        std::this_thread::yield();
    state_.store(kNothingOffered, std::memory_order_relaxed);
}

bool FreshPages::help() {
    int expected = kOffered;
    if (!state_.compare_exchange_strong(expected, kTouching, std::memory_order_acquire)) return false;
    // One write of the zero the page already holds makes it present.
    auto page = reinterpret_cast<uintptr_t>(offerStart_);
    const auto end = reinterpret_cast<uintptr_t>(offerEnd_);
    for (; page < end && state_.load(std::memory_order_relaxed) == kTouching;
         page = (page | (kPageSize - 1)) + 1)
        *reinterpret_cast<volatile unsigned char*>(page) = 0;
    state_.store(kSettledByHelper, std::memory_order_release);
    return true;
}
