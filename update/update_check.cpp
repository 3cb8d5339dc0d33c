// The online update check. Until it is built the check asks nothing and announces nothing.
#include "update_check.h"

void startUpdateThread() {}
void checkForUpdates(const char*, bool) {}
void onSocketEvent(LPARAM, bool) {}
