// The program-wide values and the derivation of the two paths from the program file.
#include "program_values.h"

HINSTANCE ViewerInstance = nullptr;
char ModuleDirectory[PATH_BUFFER_SIZE] = "";
char SettingsFilePath[PATH_BUFFER_SIZE] = "";

void SetModulePaths(const char* programFile) {
    FindProgramPaths(programFile, DirectoryForm::WithBackslash, ModuleDirectory, SettingsFilePath);
}
