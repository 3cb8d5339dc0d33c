// The few platform calls the data store needs. The Windows program fills the seam with
// GetLocalTime, MessageBoxA and DeleteFileA; host builds use the portable defaults.
#pragma once

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct PlatformSeam {
    void (*localTime)(LocalTime* now);
    // A message box without owner, empty caption, MB_OK.
    void (*showMessage)(const char* text);
    // Returns nonzero on success, like DeleteFileA.
    int (*deleteFile)(const char* path);
    // Ends the process. Fuzz targets replace it to return to their driver.
    void (*exitProcess)(int status);
};

extern PlatformSeam platform;

// The portable defaults: the C library's local time, the text on standard error, remove().
PlatformSeam defaultPlatform();

// Ends the process through the seam.
[[noreturn]] void endProcess(int status);
