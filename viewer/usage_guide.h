// The usage guide "zenview.pdf": beside the program, else in the documentation folder
// next to the program's folder; opened with the shell.
#pragma once

#include <windows.h>

#include <string>

// moduleDirectory + "zenview.pdf" when that file exists, else
// moduleDirectory + "..\doc\zenview.pdf" whether or not it exists.
std::string UsageGuidePath(const char* moduleDirectory);

// Asks the shell to "open" the guide; the outcome is ignored.
void OpenUsageGuide(HWND owner, const char* moduleDirectory);
