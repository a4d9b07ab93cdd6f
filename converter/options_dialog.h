// The "Options..." dialog: the tone choices of a conversion (tone, background, threshold,
// dithering, inversion, resizing, rotation, mirroring, a palette or an adaptive palette's
// number of colours) and its pixel coding, reached from the main dialog's system menu and
// kept in the settings file's [Options] section.
#pragma once

#include "zentra_format.h"

#include <windows.h>

#include <string>

inline constexpr const char* THRESHOLD_RANGE_TEXT = "The threshold must be between 0 and 255.";
inline const std::string RESIZE_RANGE_TEXT =
    "The width and the height must be between 1 and " + std::to_string(MAX_PICTURE_SIDE) + ".";
inline constexpr const char* SATURATION_RANGE_TEXT =
    "The saturation must be between 0 and 1, in steps of 0.001.";
inline constexpr const char* COLOURS_RANGE_TEXT =
    "The number of colours must be between 2 and 256.";
inline constexpr const char* PALETTE_OR_COLOURS_TEXT =
    "Choose a palette or an adaptive palette's number of colours, not both.";
// The palette field's list: no palette, then the built-in palettes (a colour list or a
// palette file's path may be typed or browsed for instead).
inline constexpr const char* NO_PALETTE_ITEM = "(none)";
inline constexpr char PALETTE_FILTERS[] =
    "Palettes (*.gpl;*.txt)\0*.gpl;*.txt\0All files (*.*)\0*.*\0";

// Adds a separator and "Options..." (command IDM_OPTIONS) to the dialog's system menu.
void AddOptionsMenuItem(HWND dialog);

// Shows the Options dialog modally, owned by the main dialog. OK saves the choices.
void ShowOptionsDialog(HWND owner);

// The dialog's procedure, for tests that create the dialog themselves.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
