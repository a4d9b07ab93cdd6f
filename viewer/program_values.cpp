// The program-wide values and the derivation of the two paths from the program file.
#include "program_values.h"

#include <cstdio>
#include <cstring>

HINSTANCE ViewerInstance = nullptr;
char ModuleDirectory[PATH_BUFFER_SIZE] = "";
char SettingsFilePath[PATH_BUFFER_SIZE] = "";

void SetModulePaths(const char* programFile) {
    std::snprintf(ModuleDirectory, sizeof ModuleDirectory, "%s", programFile);
    char* lastSeparator = std::strrchr(ModuleDirectory, '\\');
    if (lastSeparator != nullptr) {
        lastSeparator[1] = '\0';
    }
    const int length =
        std::snprintf(SettingsFilePath, sizeof SettingsFilePath, "%szenconv.ini", ModuleDirectory);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof SettingsFilePath) {
        SettingsFilePath[0] = '\0';
    }
}
