// Drawing the display bitmap, or the prompt that stands in for it, onto the window.
#pragma once

#include "display_bitmap.h"

#include <windows.h>

#include <optional>

// The platform's bitmap information: the 40-byte header and a full colour table, or, for
// a 16-bit bitmap, the three RGB565 channel masks in place of the table.
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[COLOUR_TABLE_ENTRIES];
};

// Copies the decoder's header fields and colour table (or channel masks), field by field.
BitmapInfo256 MakeBitmapInfo(const DisplayBitmap& bitmap);

// The platform draws bitmaps of 1, 4, 8, 16, 24 and 32 bits per pixel only, and reads
// stride x height bytes as it computes them from the header. True when the bitmap is of
// such a depth and its pixel block holds all that the platform will read.
bool IsDrawable(const DisplayBitmap& bitmap);

// A 2-bit bitmap widened to 4 bits per pixel with the same colour indices and table; none
// when the bitmap is not a whole 2-bit bitmap.
std::optional<DisplayBitmap> WidenTwoBitBitmap(const DisplayBitmap& bitmap);

// Stretches the bitmap (2-bit ones widened first; nothing for one that cannot be drawn) to zoom
// times its size with its top-left corner at x, y; inverted colours when invert is set.
void PaintDisplayBitmap(HDC dc, const DisplayBitmap& bitmap, int x, int y, int zoom, bool invert);

// Draws the text with a transparent background at x, y.
void PaintPrompt(HDC dc, int x, int y, const char* text);
