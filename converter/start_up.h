// The converter's start-up: program-wide values, the message-box sink, the modal main
// dialog. Returns the program's exit code, which is always 0.
#pragma once

#include <windows.h>

// The pictures named on the command line (the text after the program's name) are added to
// the file list when the dialog opens.
int RunConverter(HINSTANCE instance, const char* commandLine = nullptr);
