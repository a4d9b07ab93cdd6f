// Turns the bitmap's packed rows into plain colours for writing picture files.
#include "bitmap_rgb.h"

namespace {

std::uint8_t Expand5(unsigned c) {
    return static_cast<std::uint8_t>((c << 3) | (c >> 2));
}

} // namespace

void BitmapRowToRgb(const DisplayBitmap& bitmap, int top, std::uint8_t* rgb) {
    const std::size_t bitmapRow = static_cast<std::size_t>(bitmap.height - 1 - top);
    const std::uint8_t* row = bitmap.pixels->data() + bitmapRow * bitmap.stride;
    const unsigned depth = bitmap.depth;
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
        std::uint8_t* out = rgb + 3 * x;
        if (depth == 1 || depth == 2 || depth == 4 || depth == 8) {
            const std::size_t bit = x * depth;
            const unsigned shift = 8 - depth - static_cast<unsigned>(bit % 8);
            const unsigned index = (row[bit / 8] >> shift) & ((1u << depth) - 1);
            const ColourEntry& entry = bitmap.colours[index];
            out[0] = entry.red;
            out[1] = entry.green;
            out[2] = entry.blue;
        } else if (depth == 16) {
            const unsigned pixel = row[2 * x] | (row[2 * x + 1] << 8);
            out[0] = Expand5((pixel >> 10) & 0x1F);
            out[1] = Expand5((pixel >> 5) & 0x1F);
            out[2] = Expand5(pixel & 0x1F);
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
