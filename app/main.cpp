// The program's entry point.
#include <windows.h>

#include "app_state.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    app.instance = instance;
    readProgramPath();
    if (!startProgram(instance, showCommand)) return 0;
    return runMessageLoop();
}
