// The program-wide values and the derivation of the two paths from the program file.
#include "program_values.h"

#include <cstdio>
#include <cstring>

HINSTANCE ProgramInstance = nullptr;
char ProgramDirectory[PATH_BUFFER_SIZE] = "";
char SettingsFilePath[PATH_BUFFER_SIZE] = "";
HMENU TypeMenu = nullptr;

void SetProgramPaths(const char* programFile) {
    std::snprintf(ProgramDirectory, sizeof ProgramDirectory, "%s", programFile);
    char* lastSeparator = std::strrchr(ProgramDirectory, '\\');
    if (lastSeparator != nullptr) {
        *lastSeparator = '\0';
    }
    std::snprintf(SettingsFilePath, sizeof SettingsFilePath, "%s\\zenconv.ini", ProgramDirectory);
}
