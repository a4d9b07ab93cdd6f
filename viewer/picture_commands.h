// Edit > Copy and File > Save picture as...: the shown picture, zoomed and inverted as on
// screen, onto the clipboard as a device-independent bitmap or into a BMP file.
#pragma once

#include "display_bitmap.h"

#include <windows.h>

#include <string>

inline constexpr const char* SAVE_FAILED_TEXT = "Failed to save picture.";

// Puts the picture on the clipboard (CF_DIB), owned by the window; nothing when none is shown.
void CopyShownPicture(HWND window, const DisplayBitmap& bitmap, int zoom, bool invert);

// Asks for a file name in the save-file dialog (proposing the Zentra file's name with
// ".bmp") and writes the picture there; a file that cannot be written gives SAVE_FAILED_TEXT.
void SaveShownPicture(HWND window, const DisplayBitmap& bitmap, int zoom, bool invert,
                      const std::string& zentraFile);
