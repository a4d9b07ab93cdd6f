// The program entry of zenconv: everything happens in start-up.
#include "start_up.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine,
                   int /*showState*/) {
    return RunConverter(instance, commandLine);
}
