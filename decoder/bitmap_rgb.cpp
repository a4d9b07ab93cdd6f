// Turns the bitmap's packed rows into plain colours for writing picture files.
#include "bitmap_rgb.h"

namespace {

// A channel of `bits` bits widened to 8 by repeating its top bits below it, so that 0
// stays 0 and the largest value becomes 255: r8 = r5 << 3 | r5 >> 2, g8 = g6 << 2 | g6 >> 4.
std::uint8_t Widen(unsigned value, unsigned bits) {
    return static_cast<std::uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

} // namespace

void BitmapRowToRgb(const DisplayBitmap& bitmap, int top, std::uint8_t* rgb) {
    const std::size_t bitmapRow = static_cast<std::size_t>(bitmap.height - 1 - top);
    const std::uint8_t* row = bitmap.pixels->data() + bitmapRow * bitmap.stride;
    const unsigned depth = bitmap.depth;
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
        std::uint8_t* out = rgb + 3 * x;
        if (IsSubByteDepth(depth) || depth == 8) {
            const std::size_t bit = x * depth;
            const unsigned shift = 8 - depth - static_cast<unsigned>(bit % 8);
            const unsigned index = (row[bit / 8] >> shift) & ((1u << depth) - 1);
            const ColourEntry& entry = bitmap.colours[index];
            out[0] = entry.red;
            out[1] = entry.green;
            out[2] = entry.blue;
        } else if (depth == 16) {
            const unsigned pixel = row[2 * x] | (row[2 * x + 1] << 8);
            out[0] = Widen(pixel >> 11, 5);
            out[1] = Widen((pixel >> 5) & 0x3F, 6);
            out[2] = Widen(pixel & 0x1F, 5);
        } else if (depth >= 24) {
            const std::uint8_t* pixel = row + x * ((depth + 7) / 8);
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
        } else {
            out[0] = out[1] = out[2] = 0;
        }
    }
}
