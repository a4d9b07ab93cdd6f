// The "Options..." dialog: the tone choices of a conversion (tone, background, threshold,
// dithering, inversion, resizing, rotation, mirroring) and its pixel coding, reached from
// the main dialog's system menu and kept in the settings file's [Options] section.
#pragma once

#include <windows.h>

inline constexpr const char* THRESHOLD_RANGE_TEXT = "The threshold must be between 0 and 255.";
inline constexpr const char* RESIZE_RANGE_TEXT =
    "The width and the height must be between 1 and 32767.";

// Adds a separator and "Options..." (command IDM_OPTIONS) to the dialog's system menu.
void AddOptionsMenuItem(HWND dialog);

// Shows the Options dialog modally, owned by the main dialog. OK saves the choices.
void ShowOptionsDialog(HWND owner);

// The dialog's procedure, for tests that create the dialog themselves.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
