// The converter's program-wide values, set once by start-up and only read afterwards:
// the program instance, the program's directory, the settings file path and the type menu.
#pragma once

#include "program_paths.h"

#include <windows.h>

extern HINSTANCE ProgramInstance;
extern char ProgramDirectory[PATH_BUFFER_SIZE];
extern char SettingsFilePath[PATH_BUFFER_SIZE];
extern HMENU TypeMenu;

// Sets ProgramDirectory (the part of the program file's path before its last "\") and
// SettingsFilePath (ProgramDirectory + "\zenconv.ini", empty when that would not fit in
// PATH_BUFFER_SIZE) from the program file's path.
void SetProgramPaths(const char* programFile);
