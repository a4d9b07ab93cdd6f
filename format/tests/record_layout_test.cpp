// The lay-out byte a record is written with, worked out by hand from the packing rules:
// what each depth keeps of a display type's lay-out code.
#include "zentra_format.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordLayoutTest, EachDepthKeepsTheBitsItsPackingHas) {
    const struct {
        std::uint8_t code;
        int depth;
        std::uint8_t written;
    } cases[] = {
        {0x1F, 1, 0x17},  // one plane is the packed record: planar cleared
        {0x1F, 2, 0x1F},  // planar keeps every bit
        {0x17, 4, 0x17},  // packed: banded columns, reversed, inverted Y
        {0x1F, 8, 0x1F},  // planar depth 8: bit planes packed as at depth 1
        {0x17, 8, 0x11},  // packed depth 8: no reversal, banded columns -> columns
        {0x16, 8, 0x10},  // banded rows -> rows
        {0x1F, 16, 0x15}, // colour: no planes, banded -> plain, reversal kept
        {0x0E, 24, 0x04},
        {0x03, 16, 0x01},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordLayout(c.code, c.depth), c.written)
            << "code " << int(c.code) << ", depth " << c.depth;
    }
}

} // namespace
