// The program-wide values and the derivation of the two paths from the program file.
#include "program_values.h"

HINSTANCE ProgramInstance = nullptr;
char ProgramDirectory[PATH_BUFFER_SIZE] = "";
char SettingsFilePath[PATH_BUFFER_SIZE] = "";
HMENU TypeMenu = nullptr;

void SetProgramPaths(const char* programFile) {
    FindProgramPaths(programFile, DirectoryForm::WithoutBackslash, ProgramDirectory,
                     SettingsFilePath);
}
