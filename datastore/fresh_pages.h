// The loader's large record arrays are fresh memory: the first write to each page costs a page
// fault (about 2 µs in a virtual machine, some 40 ms for the large catalogue's arrays). While the
// loader reads the stream, a thread that would otherwise wait for it can take those faults: it
// touches the next chunk of the array while the loader fills the current one.
//
// No byte is written by both at once. A chunk is offered to the helper before the loader reaches
// it; the loader enters it only once it is settled: taken back untouched, or touched (or stopped
// mid-way) by the helper, whose writes then happen before the loader's. The helper is never more
// than one chunk ahead, so the memory in use grows with the loader as before.
#pragma once

#include <atomic>
#include <cstddef>

class FreshPages {
  public:
    static constexpr size_t kChunkSize = size_t(4) << 20;
    static constexpr size_t kPageSize = 4096;

    // Whether a thread calls help() while the loader runs; without one the loader's calls cost
    // nothing.
    void setHelperPresent(bool present) { helperPresent_ = present; }

    // The loader's side: begin() when an array is allocated, reach() before each write below
    // `end`, finish() when it is filled or before it is freed.
    void begin(unsigned char* start, size_t size);
    void reach(const unsigned char* end) {
        if (end > ownedEnd_) advance(end);
    }
    void finish();

    // The helper's side: touches the offered chunk's pages, unless the loader stops it first;
    // false when no chunk was on offer.
    bool help();

  private:
    enum State { kNothingOffered, kOffered, kTouching, kStopAsked, kSettledByHelper };
    void advance(const unsigned char* end);
    void settleOffer();
    void offerNext();

    bool helperPresent_ = false;
    // The loader's own: the array's end, and the end of the part it may write.
    unsigned char* arrayEnd_ = nullptr;
    unsigned char* ownedEnd_ = nullptr;
    // The chunk on offer, [offerStart_, offerEnd_): written before the offer is published.
    unsigned char* offerStart_ = nullptr;
    unsigned char* offerEnd_ = nullptr;
    std::atomic<int> state_{kNothingOffered};
};

// The start-up's own: used by the loader and by the thread that waits for it.
extern FreshPages freshPages;
