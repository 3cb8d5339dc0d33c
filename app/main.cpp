// The program's entry point.
#include <windows.h>

#include "app_state.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    app.instance = instance;
    if (!registerClasses(instance)) return 0;
    initialiseCommonControls();
    if (!createMainWindow(instance, showCommand)) return 0;
    return runMessageLoop();
}
