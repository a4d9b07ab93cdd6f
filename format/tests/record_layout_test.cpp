// The lay-out byte a record is written with, worked out by hand from the packing rules:
// what each depth keeps of a display type's lay-out code, and the lay-outs of a depth.
#include "type_code_fault.h"
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
        {0x1E, 8, 0x10},  // depth 8 has no planes: banded, reversed, planar all cleared
        {0x0A, 1, 0x02},  // depth 1: planar cleared, banded rows kept
        {0x0D, 4, 0x0D},  // planar columns reversed at depth 4
        {0x17, 8, 0x11},  // packed depth 8: no reversal, banded columns -> columns
        {0x16, 8, 0x10},  // banded rows -> rows
        {0x1F, 16, 0x15}, // colour: no planes, banded -> plain, reversal kept
        {0x0E, 24, 0x04}, // planar and banded rows cleared, reversal kept
        {0x03, 16, 0x01}, // banded columns -> columns
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordLayout(c.code, c.depth), c.written)
            << "code " << int(c.code) << ", depth " << c.depth;
    }
}

TEST(RecordLayoutTest, WrittenLayoutsAreEveryDistinctLayoutOfADepth) {
    const struct {
        unsigned depth;
        std::size_t count;
    } cases[] = {{1, 16}, {2, 32}, {4, 32}, {8, 4}, {16, 8}, {24, 8}, {3, 0}, {32, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(WrittenLayouts(c.depth).size(), c.count) << c.depth;
    }
    EXPECT_EQ(WrittenLayouts(16),
              (std::vector<std::uint8_t>{0x00, 0x01, 0x04, 0x05, 0x10, 0x11, 0x14, 0x15}));
    EXPECT_EQ(WrittenLayouts(8), (std::vector<std::uint8_t>{0x00, 0x01, 0x10, 0x11}));
}

// Bits 8-15 of a type code's lay-out are carried and not used; record flags, unwritten
// depths and bits above the depth are refused.
TEST(RecordLayoutTest, TypeCodesAreRefusedOnlyForWhatNoRecordCanHold) {
    const struct {
        std::uint32_t code;
        bool accepted;
    } cases[] = {
        {0x10101, true},  {0x1FF1F, true},    {0x80000, true},  {0x1001F, true},
        {0x10020, false}, {0x10040, false},   {0x10080, false}, {0x30000, false},
        {0x00001, false}, {0x1010000, false}, {0x18FF00, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TypeCodeFault(c.code).empty(), c.accepted) << std::hex << c.code;
    }
}

} // namespace
