// The list lines of records: size, depth, delta values, lay-out code and labels.
#include "describe_record.h"

#include <gtest/gtest.h>

namespace {

struct DescribeCase {
    std::uint8_t layout;
    std::uint8_t depth;
    std::uint16_t width;
    std::uint16_t height;
    DeltaHeader delta;
    const char* expected;
    PixelCoding coding = PixelCoding::RunLength;
};

TEST(DescribeRecordTest, BuildsTheListLine) {
    const DescribeCase cases[] = {
        {0x12, 1, 128, 64, {}, "128 x 64 monochrome, layout 12 [banded rows, inverted Y-axis]"},
        {0x20,
         8,
         96,
         32,
         {100, 8, 0},
         "96 x 32, colour depth 8 bits, delta frame 100ms [dx=8, dy=0], layout 00 [row order]"},
        {0x05, 1, 16, 16, {}, "16 x 16 monochrome, layout 05 [column order, reversed pixel order]"},
        {0xDF,
         4,
         7,
         3,
         {}, // palette and last-frame bits are not shown; no delta header
         "7 x 3, colour depth 4 bits, layout 1f [banded columns, reversed pixel order, "
         "planar lay-out, inverted Y-axis]"},
        {0xA8,
         2,
         65535,
         1,
         {65535, 300, 2},
         "65535 x 1, colour depth 2 bits, delta frame 65535ms [dx=300, dy=2], layout 08 [row "
         "order, planar lay-out]"},
        {0x03, 24, 0, 0, {}, "0 x 0, colour depth 24 bits, layout 03 [banded columns]"},
        {0x01, 0, 5, 9, {}, "5 x 9, colour depth 0 bits, layout 01 [column order]"},
        {0x06,
         1,
         128,
         64,
         {},
         "128 x 64 monochrome, layout 06 [banded rows, reversed pixel order], squash coded",
         PixelCoding::Squash},
        {0xA0,
         16,
         13,
         7,
         {40, 2, 3},
         "13 x 7, colour depth 16 bits, delta frame 40ms [dx=2, dy=3], layout 00 [row order], "
         "squash coded",
         PixelCoding::Squash},
        {0x00,
         2,
         296,
         128,
         {},
         "296 x 128, colour depth 2 bits, layout 00 [row order], dense coded",
         PixelCoding::Dense},
    };
    for (const DescribeCase& c : cases) {
        RecordHeader header;
        header.layout = c.layout;
        header.depth = c.depth;
        header.width = c.width;
        header.height = c.height;
        header.coding = c.coding;
        EXPECT_EQ(DescribeRecord(header, c.delta), c.expected);
    }
}

} // namespace
