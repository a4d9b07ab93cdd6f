// Tests of the 16- and 24-bit packers: byte streams worked out by hand for a 2 x 2
// picture of pure red, green, blue and white in every byte order, the RGB565 bit
// positions of an unsaturated colour, a rectangle inside a larger picture, and one
// stream through the run-length coder.
#include "packers.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

using writer_test::Bytes;

namespace {

Bytes Coded(Packer packer, int width, int height, std::uint8_t layout, const Bytes& rgb,
            ChangedRect rect) {
    writer_test::ScratchFolder folder("colour_packers");
    const std::string path = folder.File("out.bin");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    RecordHeader header;
    header.width = static_cast<std::uint16_t>(width);
    header.height = static_cast<std::uint16_t>(height);
    header.layout = layout;
    RunLengthBuffer coded;
    EXPECT_TRUE(packer(coded, file, header, rgb.data(), rect));
    std::fclose(file);
    return writer_test::ReadWholeFile(path);
}

ChangedRect Whole(int width, int height) {
    ChangedRect rect;
    rect.width = static_cast<std::int16_t>(width);
    rect.height = static_cast<std::int16_t>(height);
    return rect;
}

// Top row red, green; bottom row blue, white. RGB565: red F800, green 07E0, blue 001F,
// white FFFF.
const Bytes RED_GREEN_BLUE_WHITE = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

struct StreamCase {
    int depth;
    std::uint8_t layout;
    Bytes unpacked;
    const char* why;
};

TEST(ColourPackersTest, TwoByTwoPictureInEveryByteOrder) {
    const StreamCase cases[] = {
        {16, ORDER_ROWS, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF}, "rows, low byte first"},
        {16,
         ORDER_ROWS | LAYOUT_REVERSED,
         {0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0xFF, 0xFF},
         "rows reversed, high byte first"},
        {16,
         ORDER_COLUMNS,
         {0xF8, 0x00, 0x00, 0x1F, 0x07, 0xE0, 0xFF, 0xFF},
         "columns (red, blue, green, white), high byte first"},
        {16,
         ORDER_COLUMNS | LAYOUT_REVERSED,
         {0x00, 0xF8, 0x1F, 0x00, 0xE0, 0x07, 0xFF, 0xFF},
         "columns reversed, low byte first"},
        {24,
         ORDER_ROWS,
         {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF},
         "rows, blue green red"},
        {24,
         ORDER_ROWS | LAYOUT_REVERSED,
         {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF},
         "rows reversed, red green blue"},
        {24,
         ORDER_COLUMNS,
         {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF},
         "columns, red green blue"},
        {24,
         ORDER_COLUMNS | LAYOUT_REVERSED,
         {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF},
         "columns reversed, blue green red"},
        // The inverted Y-axis is the writer's business (it reverses the rows first).
        {24,
         ORDER_ROWS | LAYOUT_INVERTED_Y,
         {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF},
         "rows, inverted-Y bit ignored"},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.why);
        const Packer packer = SelectPacker(c.depth, c.layout);
        ASSERT_NE(packer, nullptr);
        EXPECT_EQ(writer_test::DecodeRunLength(
                      Coded(packer, 2, 2, c.layout, RED_GREEN_BLUE_WHITE, Whole(2, 2))),
                  c.unpacked);
    }
}

TEST(ColourPackersTest, TopBitsOfEachChannelAndRectangles) {
    // (0x12, 0x34, 0x56): red 00010 (2), green 001101 (13), blue 01010 (10): 0x11AA.
    const Bytes unsaturated = {0x12, 0x34, 0x56};
    // 3 x 2: the rectangle (1, 1, 2, 1) holds the last two pixels of the bottom row.
    const Bytes threeByTwo = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    ChangedRect bottomRight;
    bottomRight.x = 1;
    bottomRight.y = 1;
    bottomRight.width = 2;
    bottomRight.height = 1;
    ChangedRect rightColumn = bottomRight;
    rightColumn.x = 2;
    rightColumn.y = 0;
    rightColumn.width = 1;
    rightColumn.height = 2;
    const struct {
        int depth;
        std::uint8_t layout;
        int width;
        int height;
        const Bytes& rgb;
        ChangedRect rect;
        Bytes unpacked;
        const char* why;
    } cases[] = {
        {16, ORDER_ROWS, 1, 1, unsaturated, Whole(1, 1), {0xAA, 0x11}, "RGB565 0x11AA low first"},
        {16, ORDER_COLUMNS, 1, 1, unsaturated, Whole(1, 1), {0x11, 0xAA}, "high first"},
        {24, ORDER_ROWS, 3, 2, threeByTwo, bottomRight, {15, 14, 13, 18, 17, 16}, "row rect"},
        {24, ORDER_COLUMNS, 3, 2, threeByTwo, rightColumn, {7, 8, 9, 16, 17, 18}, "column rect"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(writer_test::DecodeRunLength(Coded(SelectPacker(c.depth, c.layout), c.width,
                                                     c.height, c.layout, c.rgb, c.rect)),
                  c.unpacked);
    }
}

TEST(ColourPackersTest, CodedByHand) {
    // Stream 00 00 FF 00 FF 00 FF 00 00 FF FF FF: the leading zeros are 00 01 (the
    // previous literal starts as 0), two zeros after a literal 00 00 00, three FFs FF FF 01.
    const Bytes expected = {0x00, 0x01, 0xFF, 0x00, 0xFF, 0x00, 0xFF,
                            0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01};
    EXPECT_EQ(
        Coded(SelectPacker(24, ORDER_ROWS), 2, 2, ORDER_ROWS, RED_GREEN_BLUE_WHITE, Whole(2, 2)),
        expected);
}

} // namespace
