// Fuzz target for the container reader and the LZW decoder behind it.
//
// The input is a container ("ums" + version, screen descriptor, blocks); the target puts it
// behind a 16-byte stand-in program image with the 4-byte trailer that locates it, so that
// every input reaches the container itself. The program file is read from memory (fmemopen),
// so no input touches the disk. Each input is extracted twice, with the string-copying
// decoder and with the one-value-at-a-time decoder: the exit statuses must agree, and when
// neither run ended the process, so must the rasters and the standard error output. A
// successful extraction is then loaded as a database and walked.
//
// Inputs whose first image asks for a raster pixel area above kMaxPixelArea are passed over
// (found by a cheap walk over the blocks), so that every run stays fast.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "container.h"
#include "database.h"
#include "fuzz_support.h"
#include "lzw.h"
#include "subblock.h"

namespace {

constexpr uint64_t kMaxPixelArea = uint64_t(256) << 10;
constexpr size_t kImageSize = 16;
// KOVANTA_FUZZ_VERBOSE set: each input's exit, raster size and diagnostics go to stderr.
bool verbose = false;

// The raster pixel area (stride times height) of the first image, as readContainer would reach
// it; 0 when the walk does not get there.
uint64_t firstImagePixelArea(const uint8_t* data, size_t size) {
    size_t at = 13;
    if (size < at) return 0;
    if (data[10] & 0x80) at += 3 * (size_t(2) << (data[10] & 7));
    auto skipSubBlocks = [&] {
        while (at < size && data[at] != 0)
            at += 1 + size_t(data[at]);
        ++at;
    };
    while (at < size) {
        uint8_t introducer = data[at++];
        if (introducer == ';') return 0;
        if (introducer == '!') {
            ++at; // the label
            skipSubBlocks();
        } else if (introducer == ',') {
            if (at + 9 > size) return 0;
            int width = data[at + 4] | data[at + 5] << 8;
            int height = data[at + 6] | data[at + 7] << 8;
            if (width == 0) return 0;
            return uint64_t(rowStride(8, width)) * uint64_t(height);
        }
    }
    return 0;
}

struct Outcome {
    int exitStatus = -1; // -1: no process exit
    std::string diagnostics;
    std::vector<uint8_t> raster;
};

void resetContainerState() {
    std::memset(globalColourTable, 0, sizeof globalColourTable);
    std::memset(localColourTable, 0, sizeof localColourTable);
    globalColourCount = 0;
    zeroLengthSeen = false;
}

// One extraction as at start-up; a process exit, which the hook turns into an exception, is
// recorded.
Outcome extract(std::vector<uint8_t>& program, bool valueDecoder) {
    resetContainerState();
    useValueDecoder = valueDecoder;
    Outcome outcome;
    std::FILE* file = fmemopen(program.data(), program.size(), "rb");
    if (!file) fuzz::fail("fmemopen");
    {
        fuzz::StderrCapture capture;
        try {
            extractContainerFrom(file);
        } catch (const fuzz::ProcessExit& exit) {
            outcome.exitStatus = exit.status;
        }
        outcome.diagnostics = capture.finish();
    }
    std::fclose(file);
    // Status 0 comes only from a trailer that cannot be read; the trailer is always there, so
    // that exit is a fault here.
    if (outcome.exitStatus == 0) fuzz::fail("exit 0: the trailer was not found");
    if (outcome.exitStatus == -1) outcome.raster = ::raster.bytes();
    useValueDecoder = false;
    return outcome;
}

void report(const char* what, const Outcome& strings, const Outcome& values) {
    std::fprintf(stderr, "%s\nstring decoder: exit %d, %zu raster bytes, diagnostics:\n%s\n", what,
                 strings.exitStatus, strings.raster.size(), strings.diagnostics.c_str());
    std::fprintf(stderr, "value decoder: exit %d, %zu raster bytes, diagnostics:\n%s\n", values.exitStatus,
                 values.raster.size(), values.diagnostics.c_str());
    size_t n = std::min(strings.raster.size(), values.raster.size());
    for (size_t i = 0; i < n; ++i)
        if (strings.raster[i] != values.raster[i]) {
            std::fprintf(stderr, "first differing raster byte at offset %zu: %02x vs %02x\n", i,
                         strings.raster[i], values.raster[i]);
            break;
        }
    fuzz::fail(what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    verbose = std::getenv("KOVANTA_FUZZ_VERBOSE") != nullptr;
    fuzz::setUpProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (firstImagePixelArea(data, size) > kMaxPixelArea) return -1; // not added to the corpus
    std::vector<uint8_t> program(kImageSize, 0);
    program.insert(program.end(), data, data + size);
    for (int i = 0; i < 4; ++i)
        program.push_back(uint8_t(kImageSize >> (8 * i)));

    Outcome strings = extract(program, false);
    Outcome values = extract(program, true);
    if (verbose)
        std::fprintf(stderr, "exit %d, %zu raster bytes, diagnostics:\n%s", strings.exitStatus,
                     strings.raster.size(), strings.diagnostics.c_str());
    if (strings.exitStatus != values.exitStatus)
        report("the decoders end with different exits", strings, values);
    if (strings.diagnostics != values.diagnostics)
        report("the decoders write different diagnostics", strings, values);
    if (strings.exitStatus != -1) return 0;
    if (strings.raster != values.raster) report("the decoders write different rasters", strings, values);

    // The raster of the value decoder is still in place: load it as the program would.
    try {
        loadDatabase();
    } catch (const fuzz::ProcessExit&) {
    }
    fuzz::walkDatabase();
    freeDatabase();
    return 0;
}
