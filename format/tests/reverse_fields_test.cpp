// Field reordering within one byte for reversed pixel order, as the packers and the
// decoder both use it.
#include "mirror_byte.h"
#include "reverse_fields.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    std::uint8_t in;
    std::uint8_t pairs;
    std::uint8_t nibbles;
    std::uint8_t mirrored;
};

TEST(ReverseFieldsTest, ReordersFieldsKeepingBitsInsideAField) {
    const FieldCase cases[] = {
        // in     pairs   nibbles mirrored
        {0x1B, 0xE4, 0xB1, 0xD8}, // fields 0,1,2,3 -> 3,2,1,0
        {0x80, 0x02, 0x08, 0x01}, {0x01, 0x40, 0x10, 0x80}, {0xC6, 0x93, 0x6C, 0x63},
        {0x00, 0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF, 0xFF},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(ReverseFields<2>(c.in), c.pairs) << int(c.in);
        EXPECT_EQ(ReverseFields<4>(c.in), c.nibbles) << int(c.in);
        EXPECT_EQ(ReverseFields<1>(c.in), c.mirrored) << int(c.in);
        EXPECT_EQ(MirrorByte(c.in), c.mirrored) << int(c.in);
    }
}

} // namespace
