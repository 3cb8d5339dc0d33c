// The out-of-memory path of the window code, and the end of an exception nobody catches.
#include "boundary.h"

#include <cstdlib>

#include "platform.h"

void reportOutOfMemory() {
    platform.showMessage("内存不足!");
    // Not endProcess: a test's replacement returns, and the window procedure then returns too.
    platform.exitProcess(0);
}

// The C++ runtime's own handler of an exception nobody catches writes the exception's
// demangled type name to standard error, which a windowed program does not have, and pulls the
// whole demangler (45 KiB) into the program file. Defined here, in an object every window
// procedure needs, it replaces that one: the end is the same, abort.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
