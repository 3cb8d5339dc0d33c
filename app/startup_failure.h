// What the user is told when the start-up cannot go on: a message box before the process ends.
#pragma once

#include "platform.h"

// The text of the message box for a failure: what happened and what to do.
const char* startupFailureText(StartupFailure why);
// A message box without owner, empty caption, MB_OK; the platform seam's showFailure.
void showStartupFailure(StartupFailure why);
// False, after telling the user in English and Chinese, where Windows lacks code page 936 (a
// Western Windows XP without the East Asian language files): no text could be shown there.
bool chineseTextSupported(bool codePageInstalled);
