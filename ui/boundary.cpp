// The out-of-memory path of the window code.
#include "boundary.h"

#include "platform.h"

void reportOutOfMemory() {
    platform.showMessage("内存不足!");
    // Not endProcess: a test's replacement returns, and the window procedure then returns too.
    platform.exitProcess(0);
}
