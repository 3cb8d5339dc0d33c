// The program's entry point.
#include <windows.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    readProgramPath();
    if (!startProgram(instance, showCommand)) return 0;
    return runMessageLoop();
}
