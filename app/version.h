// The program's version, for the version resource and the update check.
#pragma once

#define KOVANTA_VERSION_TEXT "1.3"
#define KOVANTA_VERSION_NUMBERS 1, 3, 0, 0
#define KOVANTA_VERSION_RC_TEXT "1.3.0.0"
