// The picture as the window shows it (zoomed, inverted) as a packed device-independent
// bitmap for the clipboard, and as the bytes of a BMP file.
#pragma once

#include "display_bitmap.h"

#include <cstdint>
#include <vector>

// The largest picture that Copy and Save make, in bytes of pixels.
inline constexpr std::size_t SHOWN_PICTURE_LIMIT = 256u << 20;

// A 40-byte BITMAPINFOHEADER and bottom-up 24-bit pixels of zoom times the bitmap's size,
// drawn by the same code that paints the window. Empty when nothing is shown: no pixels, a
// bitmap the window cannot draw, a zoom below 1, or a picture above SHOWN_PICTURE_LIMIT.
std::vector<std::uint8_t> ShownPictureDib(const DisplayBitmap& bitmap, int zoom, bool invert);

// A BMP file: the 14-byte file header ("BM", file size, pixel offset) and the packed DIB.
std::vector<std::uint8_t> BmpFileBytes(const std::vector<std::uint8_t>& dib);
