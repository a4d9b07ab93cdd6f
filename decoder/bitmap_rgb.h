// The colours that the display bitmap shows, row by row, as 8-bit red, green, blue.
#pragma once

#include "display_bitmap.h"

#include <cstdint>

// Writes bitmap.width pixels of the picture row top (0 = the top row; the bitmap itself
// is bottom-up) to rgb as red, green, blue bytes. Pixels of depth 1 to 8 take their
// colour from the colour table; 16-bit pixels are RGB565 little-endian (red in bits
// 15-11), each channel widened by repeating its top bits; 24-bit pixels blue, green, red.
// Requires pixels present and top < height.
void BitmapRowToRgb(const DisplayBitmap& bitmap, int top, std::uint8_t* rgb);
