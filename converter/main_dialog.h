// The main dialog "ZenconvMain": the converter's whole user interface and its only
// message loop. Start-up runs it modally with no owner.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the main dialog modally with no owner window and returns its result.
INT_PTR RunMainDialog();
