// ReverseRows on rows longer than the block it swaps through: every byte of every row
// must reach its mirrored row, with odd and even row counts and a short last block.
#include "source_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ReverseRowsBlockTest, LongRowsSwapWhole) {
    struct Case {
        std::size_t rowLength;
        std::size_t rowCount;
    };
    const Case cases[] = {{1030, 5}, {1030, 4}, {512, 3}, {513, 2}, {1, 7}, {2049, 1}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> pixels(c.rowLength * c.rowCount);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
        }
        const std::vector<std::uint8_t> original = pixels;
        ReverseRows(pixels.data(), c.rowLength, c.rowCount);
        for (std::size_t y = 0; y < c.rowCount; ++y) {
            for (std::size_t x = 0; x < c.rowLength; ++x) {
                ASSERT_EQ(pixels[y * c.rowLength + x],
                          original[(c.rowCount - 1 - y) * c.rowLength + x])
                    << c.rowLength << " x " << c.rowCount << ", row " << y << ", byte " << x;
            }
        }
    }
}

} // namespace
