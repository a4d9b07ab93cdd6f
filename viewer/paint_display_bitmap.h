// Drawing the display bitmap, or the prompt that stands in for it, onto the window.
#pragma once

#include "display_bitmap.h"

#include <windows.h>

// The platform's bitmap information: the 40-byte header and a full colour table.
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[COLOUR_TABLE_ENTRIES];
};

// Copies the decoder's header fields and colour table, field by field.
BitmapInfo256 MakeBitmapInfo(const DisplayBitmap& bitmap);

// Stretches the bitmap (which must hold pixels) to zoom times its size with its top-left
// corner at x, y; inverted colours when invert is non-zero.
void PaintDisplayBitmap(HDC dc, const DisplayBitmap& bitmap, int x, int y, int zoom, int invert);

// Draws the text with a transparent background at x, y.
void PaintPrompt(HDC dc, int x, int y, const char* text);
