// The fatal diagnostic that the container reader and the image decoder end the process with.
#pragma once

// Writes message and a newline to standard error and ends the process with status 5.
[[noreturn]] void fatalError(const char* message);
