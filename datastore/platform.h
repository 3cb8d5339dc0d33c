// The few platform calls the data store needs. The Windows program fills the seam with
// GetLocalTime, MessageBoxW and DeleteFileW; host builds use the portable defaults.
#pragma once

// Why the start-up cannot go on; the Windows program shows the user a message box for each.
enum class StartupFailure {
    ProgramUnreadable, // the program's own file cannot be opened
    NoData,            // the program file carries no container
    DamagedData,       // the container is cut short or damaged
    OutOfMemory,
    PathTooLong, // the program's path does not fit
    NoWindow,    // the window classes or the main window cannot be made
};

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct PlatformSeam {
    void (*localTime)(LocalTime* now);
    // A message box without owner, empty caption, MB_OK.
    void (*showMessage)(const char* text);
    // Returns nonzero on success, like DeleteFileW.
    int (*deleteFile)(const char* path);
    // Ends the process. Fuzz targets replace it to return to their driver.
    void (*exitProcess)(int status);
    // Tells the user why the start-up stops, just before the process ends. The tools' default
    // adds nothing to their diagnostics but the loader's "内存不足!".
    void (*showFailure)(StartupFailure why);
};

extern PlatformSeam platform;

// The portable defaults: the C library's local time, the text on standard error, remove().
PlatformSeam defaultPlatform();

// Ends the process through the seam.
[[noreturn]] void endProcess(int status);
// Shows why the start-up stops, then ends the process with status.
[[noreturn]] void failStartup(StartupFailure why, int status);
