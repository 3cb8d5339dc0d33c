#include "test_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

#include "container.h"
#include "database.h"

namespace fs = std::filesystem;

Bytes hexBytes(const std::string& hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

Bytes readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeWholeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes programFileWith(const Bytes& container, size_t imageSize) {
    Bytes file(imageSize, 0);
    file.insert(file.end(), container.begin(), container.end());
    for (int i = 0; i < 4; ++i)
        file.push_back(uint8_t(imageSize >> (8 * i)));
    return file;
}

void ScratchDirTest::SetUp() {
    previous_ = fs::current_path();
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("kovanta-test-" + std::to_string(random()));
    fs::create_directories(dir_);
    fs::current_path(dir_);
    resetPlatform();
}

void ScratchDirTest::TearDown() {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
    freeDatabase();
    resetPlatform();
}

namespace {
struct ProcessExit {
    int status;
};
void throwingExit(int status) {
    throw ProcessExit{status};
}
std::vector<std::string>* messageLog;
void logMessage(const char* text) {
    if (messageLog) messageLog->push_back(text);
}
std::vector<StartupFailure>* failureLog;
void logFailure(StartupFailure why) {
    if (failureLog) failureLog->push_back(why);
}
} // namespace

Extraction extractInProcess(const Bytes& programFile) {
    writeWholeFile("program.exe", programFile);
    std::snprintf(programPath, sizeof programPath, "%s", "program.exe");
    // The colour tables start zeroed, as in a new process: entries an earlier run filled
    // would otherwise show through in a smaller table.
    std::memset(globalColourTable, 0, sizeof globalColourTable);
    std::memset(localColourTable, 0, sizeof localColourTable);
    platform.exitProcess = throwingExit;
    Extraction result;
    testing::internal::CaptureStderr();
    try {
        extractContainer();
    } catch (const ProcessExit& exit) {
        result.exitStatus = exit.status;
    }
    result.diagnostics = testing::internal::GetCapturedStderr();
    result.raster = raster.bytes();
    platform.exitProcess = defaultPlatform().exitProcess;
    return result;
}

Loading loadInProcess() {
    Loading result;
    messageLog = &result.messages;
    failureLog = &result.failures;
    platform.exitProcess = throwingExit;
    platform.showMessage = logMessage;
    platform.showFailure = logFailure;
    try {
        result.result = loadDatabase();
    } catch (const ProcessExit& exit) {
        result.exitStatus = exit.status;
    }
    platform.exitProcess = defaultPlatform().exitProcess;
    platform.showMessage = defaultPlatform().showMessage;
    platform.showFailure = defaultPlatform().showFailure;
    messageLog = nullptr;
    failureLog = nullptr;
    return result;
}

int openFileCount() {
#ifdef __linux__
    int count = 0;
    std::error_code ec;
    for (auto it = fs::directory_iterator("/proc/self/fd", ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        ++count;
    return ec ? -1 : count;
#else
    return -1;
#endif
}

bool deletes(const fs::path& path) {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

namespace {
LocalTime fixedTime;
void fixedLocalTime(LocalTime* now) {
    *now = fixedTime;
}
} // namespace

void setLoadTime(int year, int month, int day, int hour, int minute) {
    fixedTime = LocalTime{year, month, day, hour, minute, 0, 0};
    platform.localTime = fixedLocalTime;
}

void resetPlatform() {
    platform = defaultPlatform();
}
