// ReverseRows: turns a raster upside down in place. A bitmap stores its bottom row
// first, and the inverted-Y lay-out stores its rows from the bottom up.
#include "source_image.h"

#include <algorithm>

void ReverseRows(std::uint8_t* pixels, std::size_t rowLength, std::size_t rowCount) {
    // Row i swaps with row rowCount - 1 - i while i is the smaller of the two.
    for (std::size_t i = 0; i + 1 + i < rowCount; ++i) {
        std::uint8_t* top = pixels + i * rowLength;
        std::uint8_t* bottom = pixels + (rowCount - 1 - i) * rowLength;
        std::swap_ranges(top, top + rowLength, bottom);
    }
}
