// The converter's start-up: program-wide values, the message-box sink, the modal main
// dialog. Returns the program's exit code, which is always 0.
#pragma once

#include <windows.h>

int RunConverter(HINSTANCE instance);
