// What the fuzz targets share: a private scratch directory, the throwing process exit, a
// capture of the core's standard error output, and a walk over the loaded database.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// What endProcess throws once installExitHook has run.
struct ProcessExit {
    int status;
};

// Creates the private scratch directory (once per process, removed at exit) and fills the
// platform seam: throwing exit, silent message boxes, a fixed local time.
void setUpProcess();

// Makes the scratch directory the current directory for its lifetime and goes back to the
// previous one afterwards, so libFuzzer's relative corpus and artifact paths keep working.
class InScratchDirectory {
  public:
    InScratchDirectory();
    ~InScratchDirectory();
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

  private:
    int previous_;
};

// Points the C library's stderr at memory until finish(), which returns what was written.
// ASan, UBSan and libFuzzer write their reports past it (straight to descriptor 2).
class StderrCapture {
  public:
    StderrCapture();
    ~StderrCapture();
    std::string finish();

  private:
    void* saved_ = nullptr;
    void* stream_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};

void writeFile(const char* path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFile(const char* path);

// Puts data as the database stream into the raster and loads it; aborts when the loader ends
// the process or does not find the raster.
void loadStream(const uint8_t* data, size_t size);

// Checks every loaded record: counts and arrays agree, each text field is terminated inside its
// field (strnlen), readable to its end (strlen, for ASan) and not ended by a lone lead byte, and
// each node, category and company index is in range or its "none" value. Aborts otherwise.
void walkDatabase();

// Prints what went wrong and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what);

} // namespace fuzz
