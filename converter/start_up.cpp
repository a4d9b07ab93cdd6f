// Start-up, in order: keep the instance, initialise the common controls, find the program
// directory and the settings file, load the type menu, run the main dialog with the pictures
// named on the command line, return 0.
#include "start_up.h"

#include "command_line.h"
#include "main_dialog.h"
#include "program_values.h"

#include <commctrl.h>

int RunConverter(HINSTANCE instance, const char* commandLine) {
    ProgramInstance = instance;
    InitCommonControls();

    char programFile[PATH_BUFFER_SIZE] = "";
    GetModuleFileNameA(nullptr, programFile, sizeof programFile);
    SetProgramPaths(programFile);

    TypeMenu = LoadMenuA(instance, "ZenconvMenu");

    RunMainDialog(SplitCommandLine(commandLine));
    return 0;
}
