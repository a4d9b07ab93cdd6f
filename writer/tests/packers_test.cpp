// Tests of the packers: the unpacked byte stream of every pixel order at every depth,
// with and without reversal, for whole pictures and for rectangles, colour pixels in
// every byte order, and the packer choice.
#include "packers.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

using writer_test::Bytes;

namespace {

// Runs a packer into a memory sink and returns the coded bytes it wrote.
Bytes CodedOutput(Packer packer, int width, int height, std::uint8_t layout, const Bytes& pixels,
                  ChangedRect rect) {
    MemorySink sink("out.bin");
    EXPECT_TRUE(sink.Open());
    RecordHeader header;
    header.width = static_cast<std::uint16_t>(width);
    header.height = static_cast<std::uint16_t>(height);
    header.layout = layout;
    RunLengthBuffer coded;
    EXPECT_TRUE(packer(coded, sink, header, pixels.data(), rect));
    EXPECT_TRUE(sink.Commit());
    return sink.Take();
}

ChangedRect Rect(int x, int y, int width, int height) {
    ChangedRect rect;
    rect.x = static_cast<std::int16_t>(x);
    rect.y = static_cast<std::int16_t>(y);
    rect.width = static_cast<std::int16_t>(width);
    rect.height = static_cast<std::int16_t>(height);
    return rect;
}

// The unpacked stream of the whole picture.
Bytes Unpacked(Packer packer, int width, int height, std::uint8_t layout, const Bytes& pixels) {
    return writer_test::DecodeRunLength(
        CodedOutput(packer, width, height, layout, pixels, Rect(0, 0, width, height)));
}

// 10 x 3, light values (128 and up) and dark values (127 and below) mixed. Bits:
//   row 0: 1 0 1 1 0 0 0 1 | 1 0
//   row 1: 0 1 0 0 1 1 1 0 | 0 1
//   row 2: 1 1 1 0 0 0 0 0 | 1 1
const Bytes Picture10x3 = {
    200, 0,   128, 255, 127, 3,   90,  129, 255, 127, //
    10,  128, 127, 0,   250, 130, 199, 1,   127, 128, //
    255, 201, 128, 127, 0,   100, 50,  126, 222, 255,
};

struct StreamCase {
    const char* name;
    Packer packer;
    std::uint8_t layout;
    Bytes unpacked;
};

TEST(PackersTest, Picture10x3InEveryOrder) {
    const StreamCase cases[] = {
        {"row order",
         FieldPackers<1>::PackRowOrder,
         ORDER_ROWS,
         {0xB1, 0x80, 0x4E, 0x40, 0xE0, 0xC0}},
        {"row order reversed",
         FieldPackers<1>::PackRowOrder,
         ORDER_ROWS | LAYOUT_REVERSED,
         {0x8D, 0x01, 0x72, 0x02, 0x07, 0x03}},
        {"column order",
         FieldPackers<1>::PackColumnOrder,
         ORDER_COLUMNS,
         {0xA0, 0x60, 0xA0, 0x80, 0x40, 0x40, 0x40, 0x80, 0xA0, 0x60}},
        {"column order reversed",
         FieldPackers<1>::PackColumnOrder,
         ORDER_COLUMNS | LAYOUT_REVERSED,
         {0x05, 0x06, 0x05, 0x01, 0x02, 0x02, 0x02, 0x01, 0x05, 0x06}},
        {"banded rows, one band",
         FieldPackers<1>::PackBandedRows,
         ORDER_BANDED_ROWS,
         {0xA0, 0x60, 0xA0, 0x80, 0x40, 0x40, 0x40, 0x80, 0xA0, 0x60}},
        {"banded columns, two bands",
         FieldPackers<1>::PackBandedColumns,
         ORDER_BANDED_COLUMNS,
         {0xB1, 0x4E, 0xE0, 0x80, 0x40, 0xC0}},
        {"banded columns reversed",
         FieldPackers<1>::PackBandedColumns,
         ORDER_BANDED_COLUMNS | LAYOUT_REVERSED,
         {0x8D, 0x72, 0x07, 0x01, 0x02, 0x03}},
        {"depth 8 rows", PackRowOrder8, ORDER_ROWS, Picture10x3},
        {"depth 8 columns",
         PackColumnOrder8,
         ORDER_COLUMNS,
         {200, 10,  255, 0,  128, 201, 128, 127, 128, 255, 0,   127, 127, 250, 0,
          3,   130, 100, 90, 199, 50,  129, 1,   126, 255, 127, 222, 127, 128, 255}},
    };
    for (const StreamCase& c : cases) {
        EXPECT_EQ(Unpacked(c.packer, 10, 3, c.layout, Picture10x3), c.unpacked) << c.name;
    }
}

// 5 x 3 grey levels on both sides of every 2-bit and 4-bit step. The fields, worked out
// by hand (value >> 6 at depth 2, value >> 4 at depth 4):
//   depth 2  row 0: 3 0 1 2 3     depth 4  row 0: F 3 4 B C
//            row 1: 1 1 0 3 2              row 1: 7 6 0 C 8
//            row 2: 2 3 3 0 1              row 2: A F C 0 5
const Bytes Picture5x3 = {
    255, 63,  64,  191, 192, //
    127, 100, 10,  200, 128, //
    170, 250, 193, 0,   90,
};

TEST(PackersTest, Picture5x3AtDepths2And4InEveryOrder) {
    const StreamCase cases[] = {
        // Depth 2, four pixels a byte; rows of two bytes, the second holding pixel 4.
        {"2-bit rows",
         FieldPackers<2>::PackRowOrder,
         ORDER_ROWS,
         {0xC6, 0xC0, 0x53, 0x80, 0xBC, 0x40}},
        {"2-bit rows reversed",
         FieldPackers<2>::PackRowOrder,
         ORDER_ROWS | LAYOUT_REVERSED,
         {0x93, 0x03, 0xC5, 0x02, 0x3E, 0x01}},
        // A column's three rows in bits 7-2, bits 1-0 empty.
        {"2-bit columns",
         FieldPackers<2>::PackColumnOrder,
         ORDER_COLUMNS,
         {0xD8, 0x1C, 0x4C, 0xB0, 0xE4}},
        {"2-bit columns reversed",
         FieldPackers<2>::PackColumnOrder,
         ORDER_COLUMNS | LAYOUT_REVERSED,
         {0x27, 0x34, 0x31, 0x0E, 0x1B}},
        // One band of four rows, the fourth missing: the same bytes as column order.
        {"2-bit banded rows",
         FieldPackers<2>::PackBandedRows,
         ORDER_BANDED_ROWS,
         {0xD8, 0x1C, 0x4C, 0xB0, 0xE4}},
        {"2-bit banded rows reversed",
         FieldPackers<2>::PackBandedRows,
         ORDER_BANDED_ROWS | LAYOUT_REVERSED,
         {0x27, 0x34, 0x31, 0x0E, 0x1B}},
        // Bands of columns 0-3 and 4 (5-7 missing), three rows each.
        {"2-bit banded columns",
         FieldPackers<2>::PackBandedColumns,
         ORDER_BANDED_COLUMNS,
         {0xC6, 0x53, 0xBC, 0xC0, 0x80, 0x40}},
        {"2-bit banded columns reversed",
         FieldPackers<2>::PackBandedColumns,
         ORDER_BANDED_COLUMNS | LAYOUT_REVERSED,
         {0x93, 0xC5, 0x3E, 0x03, 0x02, 0x01}},
        // Depth 4, two pixels a byte.
        {"4-bit rows",
         FieldPackers<4>::PackRowOrder,
         ORDER_ROWS,
         {0xF3, 0x4B, 0xC0, 0x76, 0x0C, 0x80, 0xAF, 0xC0, 0x50}},
        {"4-bit rows reversed",
         FieldPackers<4>::PackRowOrder,
         ORDER_ROWS | LAYOUT_REVERSED,
         {0x3F, 0xB4, 0x0C, 0x67, 0xC0, 0x08, 0xFA, 0x0C, 0x05}},
        {"4-bit columns",
         FieldPackers<4>::PackColumnOrder,
         ORDER_COLUMNS,
         {0xF7, 0xA0, 0x36, 0xF0, 0x40, 0xC0, 0xBC, 0x00, 0xC8, 0x50}},
        {"4-bit columns reversed",
         FieldPackers<4>::PackColumnOrder,
         ORDER_COLUMNS | LAYOUT_REVERSED,
         {0x7F, 0x0A, 0x63, 0x0F, 0x04, 0x0C, 0xCB, 0x00, 0x8C, 0x05}},
        // Bands of rows 0-1 and 2 (3 missing), five columns each.
        {"4-bit banded rows",
         FieldPackers<4>::PackBandedRows,
         ORDER_BANDED_ROWS,
         {0xF7, 0x36, 0x40, 0xBC, 0xC8, 0xA0, 0xF0, 0xC0, 0x00, 0x50}},
        {"4-bit banded rows reversed",
         FieldPackers<4>::PackBandedRows,
         ORDER_BANDED_ROWS | LAYOUT_REVERSED,
         {0x7F, 0x63, 0x04, 0xCB, 0x8C, 0x0A, 0x0F, 0x0C, 0x00, 0x05}},
        // Bands of columns 0-1, 2-3 and 4 (5 missing), three rows each.
        {"4-bit banded columns",
         FieldPackers<4>::PackBandedColumns,
         ORDER_BANDED_COLUMNS,
         {0xF3, 0x76, 0xAF, 0x4B, 0x0C, 0xC0, 0xC0, 0x80, 0x50}},
        {"4-bit banded columns reversed",
         FieldPackers<4>::PackBandedColumns,
         ORDER_BANDED_COLUMNS | LAYOUT_REVERSED,
         {0x3F, 0x67, 0xFA, 0xB4, 0xC0, 0x0C, 0x0C, 0x08, 0x05}},
    };
    for (const StreamCase& c : cases) {
        EXPECT_EQ(Unpacked(c.packer, 5, 3, c.layout, Picture5x3), c.unpacked) << c.name;
    }
}

// 10 x 10: column 0 and the diagonal light, everything else dark.
Bytes Picture10x10() {
    Bytes pixels(100, 0);
    for (int y = 0; y < 10; ++y) {
        pixels[static_cast<std::size_t>(y) * 10] = 255;
        pixels[static_cast<std::size_t>(y) * 10 + static_cast<std::size_t>(y)] = 255;
    }
    return pixels;
}

TEST(PackersTest, Picture10x10BandedRowsHasTwoBands) {
    const Bytes expected = {0xFF, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00, 0x00,
                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x40};
    EXPECT_EQ(Unpacked(FieldPackers<1>::PackBandedRows, 10, 10, ORDER_BANDED_ROWS, Picture10x10()),
              expected);
    const Bytes reversed = {0xFF, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x00, 0x00,
                            0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02};
    EXPECT_EQ(Unpacked(FieldPackers<1>::PackBandedRows, 10, 10, ORDER_BANDED_ROWS | LAYOUT_REVERSED,
                       Picture10x10()),
              reversed);
    // Banded columns of the same picture: band 0 gives row y's columns 0-7, band 1
    // columns 8 and 9.
    const Bytes columns = {0x80, 0xC0, 0xA0, 0x90, 0x88, 0x84, 0x82, 0x81, 0x80, 0x80,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x40};
    EXPECT_EQ(
        Unpacked(FieldPackers<1>::PackBandedColumns, 10, 10, ORDER_BANDED_COLUMNS, Picture10x10()),
        columns);
}

TEST(PackersTest, ThresholdAndPartialBytes) {
    const Bytes threshold = {127, 128, 0, 255, 126, 129, 127, 128};
    EXPECT_EQ(Unpacked(FieldPackers<1>::PackRowOrder, 8, 1, ORDER_ROWS, threshold), (Bytes{0x55}));
    EXPECT_EQ(
        Unpacked(FieldPackers<1>::PackRowOrder, 8, 1, ORDER_ROWS | LAYOUT_REVERSED, threshold),
        (Bytes{0xAA}));

    const Bytes nine = {0, 0, 0, 0, 0, 0, 0, 0, 255};
    EXPECT_EQ(Unpacked(FieldPackers<1>::PackRowOrder, 9, 1, ORDER_ROWS, nine), (Bytes{0x00, 0x80}));
    EXPECT_EQ(Unpacked(FieldPackers<1>::PackRowOrder, 9, 1, ORDER_ROWS | LAYOUT_REVERSED, nine),
              (Bytes{0x00, 0x01}));
}

TEST(PackersTest, SixteenPixelRowsCodeAsRuns) {
    EXPECT_EQ(CodedOutput(FieldPackers<1>::PackRowOrder, 16, 1, ORDER_ROWS, Bytes(16, 0),
                          Rect(0, 0, 16, 1)),
              (Bytes{0x00, 0x01}));
    EXPECT_EQ(CodedOutput(FieldPackers<1>::PackRowOrder, 16, 1, ORDER_ROWS, Bytes(16, 255),
                          Rect(0, 0, 16, 1)),
              (Bytes{0xFF, 0xFF, 0x00}));
}

// 19 x 11 picture whose pixel (x, y) is light when (x + 2y) mod 5 is 0 or 1.
Bytes Pattern19x11() {
    Bytes pixels;
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 19; ++x) {
            pixels.push_back((x + 2 * y) % 5 < 2 ? 255 : 0);
        }
    }
    return pixels;
}

TEST(PackersTest, RectanglesReadOnlyTheirPixels) {
    const Bytes picture = Pattern19x11();
    struct RectCase {
        const char* name;
        Packer packer;
        std::uint8_t layout;
        ChangedRect rect;
        Bytes unpacked;
    };
    // Row y of the pattern starts (at x = 0) with phase 2y mod 5; light where the phase
    // of x + 2y is 0 or 1.
    const RectCase cases[] = {
        // Rows 1-2, columns 8-18 (11 pixels: two bytes per row).
        // row 1, x 8..18: (x+2)%5 = 0,1,2,3,4,0,1,2,3,4,0 -> 11000110 001 -> 0xC6 0x20
        // row 2, x 8..18: (x+4)%5 = 2,3,4,0,1,2,3,4,0,1,2 -> 00011000 110 -> 0x18 0xC0
        {"row order",
         FieldPackers<1>::PackRowOrder,
         ORDER_ROWS,
         Rect(8, 1, 11, 2),
         {0xC6, 0x20, 0x18, 0xC0}},
        // Columns 3-4, rows 0-8 (9 pixels: two bytes per column).
        // column 3, y 0..8: (3+2y)%5 = 3,0,2,4,1,3,0,2,4 -> 01001010 0 -> 0x4A 0x00
        // column 4, y 0..8: (4+2y)%5 = 4,1,3,0,2,4,1,3,0 -> 01010010 1 -> 0x52 0x80
        {"column order",
         FieldPackers<1>::PackColumnOrder,
         ORDER_COLUMNS,
         Rect(3, 0, 2, 9),
         {0x4A, 0x00, 0x52, 0x80}},
        // Banded rows from row 8, columns 5-6: rows 8, 9, 10 exist, 11-15 are 0 bits.
        // column 5, y 8..10: (5+2y)%5 = 1,3,0 -> 101 -> 0xA0
        // column 6, y 8..10: (6+2y)%5 = 2,4,1 -> 001 -> 0x20
        {"banded rows at the bottom edge",
         FieldPackers<1>::PackBandedRows,
         ORDER_BANDED_ROWS,
         Rect(5, 8, 2, 3),
         {0xA0, 0x20}},
        // Banded columns from column 16, rows 2-3: columns 16-18 exist, 19-23 are 0.
        // row 2, x 16..18: (x+4)%5 = 0,1,2 -> 110 -> 0xC0
        // row 3, x 16..18: (x+6)%5 = 2,3,4 -> 000 -> 0x00
        {"banded columns at the right edge",
         FieldPackers<1>::PackBandedColumns,
         ORDER_BANDED_COLUMNS,
         Rect(16, 2, 3, 2),
         {0xC0, 0x00}},
        // Light pixels are level 3 at depth 2 and 15 at depth 4.
        // row 1, x 4..9: (x+2)%5 = 1,2,3,4,0,1 -> 3 0 0 0 | 3 3 -> 0xC0 0xF0
        // row 2, x 4..9: (x+4)%5 = 3,4,0,1,2,3 -> 0 0 3 3 | 0 0 -> 0x0F 0x00
        {"2-bit row order",
         FieldPackers<2>::PackRowOrder,
         ORDER_ROWS,
         Rect(4, 1, 6, 2),
         {0xC0, 0xF0, 0x0F, 0x00}},
        // Banded rows from row 8: rows 8-10 exist, 11 is 0.
        // column 0, y 8..10: (2y)%5 = 1,3,0 -> 3 0 3 -> 0xCC
        // column 1, y 8..10: (1+2y)%5 = 2,4,1 -> 0 0 3 -> 0x0C
        {"2-bit banded rows at the bottom edge",
         FieldPackers<2>::PackBandedRows,
         ORDER_BANDED_ROWS,
         Rect(0, 8, 2, 3),
         {0xCC, 0x0C}},
        // Column 3, y 2..4: (3+2y)%5 = 2,4,1 -> 0 0 | 15 -> 0x00 0xF0
        {"4-bit column order",
         FieldPackers<4>::PackColumnOrder,
         ORDER_COLUMNS,
         Rect(3, 2, 1, 3),
         {0x00, 0xF0}},
        // Banded columns from column 18: column 19 lies beyond the picture.
        // row 9: (18+18)%5 = 1 -> 0xF0; row 10: (18+20)%5 = 3 -> 0x00
        {"4-bit banded columns at the right edge",
         FieldPackers<4>::PackBandedColumns,
         ORDER_BANDED_COLUMNS,
         Rect(18, 9, 1, 2),
         {0xF0, 0x00}},
        {"depth 8 rows",
         PackRowOrder8,
         ORDER_ROWS,
         Rect(17, 9, 2, 2),
         // row 9 x 17,18: (x+18)%5 = 0,1; row 10: (x+20)%5 = 2,3
         {255, 255, 0, 0}},
        {"depth 8 columns",
         PackColumnOrder8,
         ORDER_COLUMNS,
         Rect(0, 3, 2, 2),
         // column 0 y 3,4: (2y)%5 = 1,3; column 1: (1+2y)%5 = 2,4
         {255, 0, 0, 0}},
    };
    for (const RectCase& c : cases) {
        EXPECT_EQ(
            writer_test::DecodeRunLength(CodedOutput(c.packer, 19, 11, c.layout, picture, c.rect)),
            c.unpacked)
            << c.name;
    }
}

TEST(PackersTest, BandedRowsFillFromThePictureNotTheRectangle) {
    // Rectangle rows 0-4 of a 3 x 10 picture: the band still takes rows 5-7 of the
    // picture, because only rows beyond the picture's height are zero bits.
    Bytes picture(30, 0);
    for (int y = 0; y < 10; ++y) {
        picture[static_cast<std::size_t>(y) * 3 + 1] = 255; // column 1 all light
    }
    EXPECT_EQ(
        writer_test::DecodeRunLength(CodedOutput(FieldPackers<1>::PackBandedRows, 3, 10,
                                                 ORDER_BANDED_ROWS, picture, Rect(0, 0, 3, 5))),
        (Bytes{0x00, 0xFF, 0x00}));
    // At depth 2 a band is four rows: rows 0-3 for a rectangle of rows 0-1.
    EXPECT_EQ(
        writer_test::DecodeRunLength(CodedOutput(FieldPackers<2>::PackBandedRows, 3, 10,
                                                 ORDER_BANDED_ROWS, picture, Rect(0, 0, 3, 2))),
        (Bytes{0x00, 0xFF, 0x00}));
}

TEST(PackersTest, SelectPackerByDepthAndOrder) {
    struct SelectCase {
        int depth;
        std::uint8_t layout;
        Packer expected;
    };
    const SelectCase cases[] = {
        {1, ORDER_ROWS, FieldPackers<1>::PackRowOrder},
        {1, ORDER_COLUMNS, FieldPackers<1>::PackColumnOrder},
        {1, ORDER_BANDED_ROWS, FieldPackers<1>::PackBandedRows},
        {1, ORDER_BANDED_COLUMNS, FieldPackers<1>::PackBandedColumns},
        {1, ORDER_BANDED_ROWS | LAYOUT_REVERSED | LAYOUT_INVERTED_Y | RECORD_DELTA,
         FieldPackers<1>::PackBandedRows},
        {8, ORDER_ROWS, PackRowOrder8},
        {8, ORDER_COLUMNS, PackColumnOrder8},
        {8, ORDER_COLUMNS | RECORD_LAST_FRAME, PackColumnOrder8},
        {2, ORDER_ROWS, FieldPackers<2>::PackRowOrder},
        {2, ORDER_COLUMNS | LAYOUT_INVERTED_Y, FieldPackers<2>::PackColumnOrder},
        {2, ORDER_BANDED_ROWS | LAYOUT_REVERSED, FieldPackers<2>::PackBandedRows},
        {2, ORDER_BANDED_COLUMNS, FieldPackers<2>::PackBandedColumns},
        {4, ORDER_ROWS | RECORD_DELTA, FieldPackers<4>::PackRowOrder},
        {4, ORDER_COLUMNS, FieldPackers<4>::PackColumnOrder},
        {4, ORDER_BANDED_ROWS, FieldPackers<4>::PackBandedRows},
        {4, ORDER_BANDED_COLUMNS | LAYOUT_REVERSED, FieldPackers<4>::PackBandedColumns},
        {0, ORDER_ROWS, nullptr},
        {3, ORDER_ROWS, nullptr},
        {12, ORDER_ROWS, nullptr},
        {32, ORDER_COLUMNS, nullptr},
        {16, ORDER_ROWS | LAYOUT_REVERSED, ColourPackers<16>::PackRowOrder},
        {16, ORDER_BANDED_ROWS, ColourPackers<16>::PackRowOrder},
        {16, ORDER_COLUMNS, ColourPackers<16>::PackColumnOrder},
        {24, ORDER_ROWS | LAYOUT_INVERTED_Y, ColourPackers<24>::PackRowOrder},
        {24, ORDER_COLUMNS, ColourPackers<24>::PackColumnOrder},
        {24, ORDER_BANDED_COLUMNS | LAYOUT_REVERSED, ColourPackers<24>::PackColumnOrder},
    };
    for (const SelectCase& c : cases) {
        EXPECT_EQ(SelectPacker(c.depth, c.layout), c.expected)
            << "depth " << c.depth << " layout " << int(c.layout);
    }
}

// Depths 16 and 24: byte streams worked out by hand for a 2 x 2 picture in every byte
// order, the RGB565 bit positions of an unsaturated colour, rectangles inside a larger
// picture, and one stream through the run-length coder.
// Top row red, green; bottom row blue, white. RGB565: red F800, green 07E0, blue 001F,
// white FFFF.
const Bytes RED_GREEN_BLUE_WHITE = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

struct ColourStreamCase {
    int depth;
    std::uint8_t layout;
    Bytes unpacked;
    const char* why;
};

TEST(ColourPackersTest, TwoByTwoPictureInEveryByteOrder) {
    const ColourStreamCase cases[] = {
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
    for (const ColourStreamCase& c : cases) {
        SCOPED_TRACE(c.why);
        const Packer packer = SelectPacker(c.depth, c.layout);
        ASSERT_NE(packer, nullptr);
        EXPECT_EQ(writer_test::DecodeRunLength(
                      CodedOutput(packer, 2, 2, c.layout, RED_GREEN_BLUE_WHITE, Rect(0, 0, 2, 2))),
                  c.unpacked);
    }
}

TEST(ColourPackersTest, TopBitsOfEachChannelAndRectangles) {
    // (0x12, 0x34, 0x56): red 00010 (2), green 001101 (13), blue 01010 (10): 0x11AA.
    const Bytes unsaturated = {0x12, 0x34, 0x56};
    // 3 x 2: the rectangle (1, 1, 2, 1) holds the last two pixels of the bottom row.
    const Bytes threeByTwo = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
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
        {16,
         ORDER_ROWS,
         1,
         1,
         unsaturated,
         Rect(0, 0, 1, 1),
         {0xAA, 0x11},
         "RGB565 0x11AA low first"},
        {16, ORDER_COLUMNS, 1, 1, unsaturated, Rect(0, 0, 1, 1), {0x11, 0xAA}, "high first"},
        {24, ORDER_ROWS, 3, 2, threeByTwo, Rect(1, 1, 2, 1), {15, 14, 13, 18, 17, 16}, "row rect"},
        {24,
         ORDER_COLUMNS,
         3,
         2,
         threeByTwo,
         Rect(2, 0, 1, 2),
         {7, 8, 9, 16, 17, 18},
         "column rect"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(writer_test::DecodeRunLength(CodedOutput(SelectPacker(c.depth, c.layout), c.width,
                                                           c.height, c.layout, c.rgb, c.rect)),
                  c.unpacked);
    }
}

TEST(ColourPackersTest, CodedByHand) {
    // Stream 00 00 FF 00 FF 00 FF 00 00 FF FF FF: the leading zeros are 00 01 (the
    // previous literal starts as 0), two zeros after a literal 00 00 00, three FFs FF FF 01.
    const Bytes expected = {0x00, 0x01, 0xFF, 0x00, 0xFF, 0x00, 0xFF,
                            0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01};
    EXPECT_EQ(CodedOutput(SelectPacker(24, ORDER_ROWS), 2, 2, ORDER_ROWS, RED_GREEN_BLUE_WHITE,
                          Rect(0, 0, 2, 2)),
              expected);
}

} // namespace
