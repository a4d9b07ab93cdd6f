// The program entry of zenview: start-up, then the message loop until the window closes.
// Without a window the loop could never end, so a failed start-up is reported and ends.
#include "init_viewer.h"

#include "blocking_calls.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
    if (InitViewer(instance) == nullptr) {
        PlatformCalls.MessageBoxA(nullptr, "Zenview could not create its window.", "Zenview",
                                  MB_ICONERROR | MB_OK);
        return 1;
    }
    RunMessageLoop();
    return 0;
}
