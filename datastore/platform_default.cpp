// Portable defaults of the platform seam, used by host builds and tools.
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void hostLocalTime(LocalTime* now) {
    std::time_t t = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &t);
#else
    localtime_r(&t, &parts);
#endif
    now->year = parts.tm_year + 1900;
    now->month = parts.tm_mon + 1;
    now->day = parts.tm_mday;
    now->hour = parts.tm_hour;
    now->minute = parts.tm_min;
    now->second = parts.tm_sec;
    now->millisecond = 0;
}

void hostShowMessage(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

int hostDeleteFile(const char* path) {
    return std::remove(path) == 0 ? 1 : 0;
}

void hostExitProcess(int status) {
    std::exit(status);
}

void hostShowFailure(StartupFailure why) {
    if (why == StartupFailure::OutOfMemory) hostShowMessage("内存不足!");
}

} // namespace

PlatformSeam defaultPlatform() {
    return {hostLocalTime, hostShowMessage, hostDeleteFile, hostExitProcess, hostShowFailure};
}

PlatformSeam platform = defaultPlatform();

void endProcess(int status) {
    platform.exitProcess(status);
    std::abort(); // a replacement that returns would leave the caller without a way on
}

void failStartup(StartupFailure why, int status) {
    platform.showFailure(why);
    endProcess(status);
}
