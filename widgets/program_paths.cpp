// The program's directory and settings file, derived from the program file's path.
#include "program_paths.h"

#include "settings_file.h"

#include <cstdio>
#include <cstring>

void FindProgramPaths(const char* programFile, DirectoryForm form,
                      char (&directory)[PATH_BUFFER_SIZE], char (&settingsFile)[PATH_BUFFER_SIZE]) {
    std::snprintf(directory, sizeof directory, "%s", programFile);
    char* lastSeparator = std::strrchr(directory, '\\');
    if (lastSeparator != nullptr) {
        lastSeparator[form == DirectoryForm::WithBackslash ? 1 : 0] = '\0';
    }
    const char* separator = form == DirectoryForm::WithBackslash ? "" : "\\";
    const int length = std::snprintf(settingsFile, sizeof settingsFile, "%s%s%s", directory,
                                     separator, SETTINGS_FILE_NAME);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof settingsFile) {
        settingsFile[0] = '\0';
    }
}
