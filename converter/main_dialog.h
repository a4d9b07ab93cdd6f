// The main dialog "ZenconvMain": the converter's whole user interface and its only
// message loop. Start-up runs it modally with no owner.
#pragma once

#include "display_profiles.h"

#include <windows.h>

// What the dialog keeps while it is open: the profiles it loaded, which list has the
// focus, and whether a conversion is running. Made when the dialog is initialised and
// freed with its window.
struct MainDialogState {
    DisplayProfileList profiles;
    bool fileListHasFocus = false;
    bool typeListHasFocus = false;
    // Set while a command runs that a message box inside it could interrupt: the engine's
    // message box has no owner, so the dialog stays enabled and could deliver a second
    // command.
    bool busy = false;
};

// The state of an initialised main dialog, or null.
MainDialogState* MainDialogStateOf(HWND dialog);

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the main dialog modally with no owner window and returns its result.
INT_PTR RunMainDialog();
