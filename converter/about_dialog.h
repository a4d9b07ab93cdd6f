// The About box "ZenconvAbout": the program's name, its purpose, the maker's notice and
// the maker's web address as a link. Modal; ends with the command (1 or 2) that closed it.
#pragma once

#include <windows.h>

// Runs the About box modally, owned by the given window, and returns its result.
INT_PTR ShowAboutBox(HWND owner);
