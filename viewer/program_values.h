// The viewer's program-wide values, set once at start-up and only read afterwards: the
// program instance, the program's directory and the settings file path; and the viewer's
// section of the settings file.
#pragma once

#include "program_paths.h"
#include "settings_file.h"

#include <windows.h>

extern HINSTANCE ViewerInstance;
// The program file's path cut just after its last backslash, so it ends in a backslash.
extern char ModuleDirectory[PATH_BUFFER_SIZE];
// ModuleDirectory + "zenconv.ini"; empty when that would not fit in PATH_BUFFER_SIZE, and
// then the settings keep their defaults and nothing is written.
extern char SettingsFilePath[PATH_BUFFER_SIZE];

// Section "Viewer" of the settings file; the viewer never touches the converter's section.
inline constexpr SettingsSection VIEWER_SETTINGS{SettingsFilePath, "Viewer"};

// Sets ModuleDirectory and SettingsFilePath from the program file's full path. A path
// without a backslash is kept whole as the directory.
void SetModulePaths(const char* programFile);
