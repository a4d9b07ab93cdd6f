// Start-up, in order: keep the instance, initialise the common controls, find the program
// directory and the settings file, load the type menu, run the main dialog, return 0.
#include "start_up.h"

#include "main_dialog.h"
#include "program_values.h"

#include <commctrl.h>

int RunConverter(HINSTANCE instance) {
    ProgramInstance = instance;
    InitCommonControls();

    char programFile[PATH_BUFFER_SIZE] = "";
    GetModuleFileNameA(nullptr, programFile, sizeof programFile);
    SetProgramPaths(programFile);

    TypeMenu = LoadMenuA(instance, "ZenconvMenu");

    RunMainDialog();
    return 0;
}
