// The fatal diagnostics that the container reader and the image decoder end the process with.
#pragma once

// Writes message and a newline to standard error, tells the user that the program's data is
// damaged, and ends the process with status 5.
[[noreturn]] void fatalError(const char* message);
// The same where the program file holds no container at all: the user is told that.
[[noreturn]] void fatalNoContainer(const char* message);
// The same for memory that runs out while the data is decoded: the user is told that.
[[noreturn]] void fatalOutOfMemory(const char* message);
