// The program entry of zenview: everything happens in RunViewer.
#include "init_viewer.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine,
                   int /*showState*/) {
    return RunViewer(instance, commandLine);
}
