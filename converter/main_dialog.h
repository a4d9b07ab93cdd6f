// The main dialog "ZenconvMain": the converter's whole user interface and its only
// message loop. Start-up runs it modally with no owner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the main dialog modally with no owner window and returns its result. The pictures
// (full paths, as from the command line) are added to the file list when it opens. The
// dialog's creation parameter is a pointer to such a list, or null for none.
INT_PTR RunMainDialog(const std::vector<std::string>& startPictures = {});
