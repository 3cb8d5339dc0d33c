// Helpers shared by the core tests: a scratch current directory, files, hex, a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform.h"

using Bytes = std::vector<uint8_t>;

Bytes hexBytes(const std::string& hex);
Bytes readWholeFile(const std::filesystem::path& path);
void writeWholeFile(const std::filesystem::path& path, const Bytes& bytes);

// 16 bytes standing in for the program image, the container, and the trailer.
Bytes programFileWith(const Bytes& container, size_t imageSize = 16);

// Every test runs in its own empty current directory, where nothing of the start-up may appear.
class ScratchDirTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path dir_, previous_;
};

// What one run of the start-up extraction did: the exit it took (none: -1), what it wrote to
// standard error, and the raster it left in memory.
struct Extraction {
    int exitStatus = -1;
    std::string diagnostics;
    Bytes raster;
};

// Runs the extraction on programFile in this process; a process exit is caught and recorded.
Extraction extractInProcess(const Bytes& programFile);

// The same for the loader, after the raster has been written.
struct Loading {
    int exitStatus = -1;
    int result = -1;
    std::vector<std::string> messages;    // message boxes
    std::vector<StartupFailure> failures; // what the user is told before the exit
};
Loading loadInProcess();

// Files this process holds open (Linux: its descriptors); -1 where that cannot be counted.
int openFileCount();
// Whether path can be deleted now; on Windows an open file cannot.
bool deletes(const std::filesystem::path& path);

// The local time that the loader sees, until reset.
void setLoadTime(int year, int month, int day, int hour, int minute);
void resetPlatform();
