// ReverseRows: turns a raster upside down in place. A bitmap stores its bottom row
// first, and the inverted-Y lay-out stores its rows from the bottom up.
#include "source_image.h"

#include <algorithm>
#include <cstring>

void ReverseRows(std::uint8_t* pixels, std::size_t rowLength, std::size_t rowCount) {
    // Row i swaps with row rowCount - 1 - i while i is the smaller of the two, a block at
    // a time through a small buffer, so that the swap is three block copies.
    std::uint8_t block[512];
    for (std::size_t i = 0; i + 1 + i < rowCount; ++i) {
        std::uint8_t* top = pixels + i * rowLength;
        std::uint8_t* bottom = pixels + (rowCount - 1 - i) * rowLength;
        for (std::size_t done = 0; done < rowLength; done += sizeof block) {
            const std::size_t piece = std::min(sizeof block, rowLength - done);
            std::memcpy(block, top + done, piece);
            std::memcpy(top + done, bottom + done, piece);
            std::memcpy(bottom + done, block, piece);
        }
    }
}
