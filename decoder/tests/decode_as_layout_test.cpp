// The lay-out view: a record written as one lay-out and read as another, against pictures
// worked out by hand for an odd-sized, asymmetric picture, and the lay-outs a depth offers.
#include "decode_as_layout.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The 5 x 3 one-bit picture, top row first, written in row order (layout 0):
//   1 1 0 1 0   -> 0xD0
//   0 1 0 0 1   -> 0x48
//   1 0 0 0 0   -> 0x80
const Bytes ROWS_5X3 = {0xD0, 0x48, 0x80};

// A depth-1 bitmap's pixels as rows of '0' and '1', top row first.
std::vector<std::string> Pixels(const DisplayBitmap& bitmap) {
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(bitmap.height - 1 - y) * bitmap.stride;
        std::string text;
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint8_t byte = (*bitmap.pixels)[row + static_cast<std::size_t>(x) / 8];
            text += (byte >> (7 - x % 8) & 1) != 0 ? '1' : '0';
        }
        rows.push_back(text);
    }
    return rows;
}

struct AsLayoutCase {
    const char* what;
    std::uint8_t written;
    Bytes unpacked;
    std::uint8_t readAs;
    std::vector<std::string> shown;
};

TEST(DecodeRecordAsLayout, BytesOfOneLayoutReadAsAnother) {
    const AsLayoutCase cases[] = {
        {"rows as rows", 0x00, ROWS_5X3, 0x00, {"11010", "01001", "10000"}},
        // Columns of three pixels in the top bits of a byte, left to right: the three row
        // bytes become columns 0 to 2, columns 3 and 4 were never written.
        {"rows as columns", 0x00, ROWS_5X3, 0x01, {"10100", "11000", "00000"}},
        {"rows as inverted Y", 0x00, ROWS_5X3, 0x10, {"10000", "01001", "11010"}},
        // The first pixel in the lowest bit: each row's five pixels from bits 0 to 4.
        {"rows as reversed", 0x00, ROWS_5X3, 0x04, {"00001", "00010", "00000"}},
        // Banded rows: one band of 8 lines, a byte per column. Read as rows, its first
        // three column bytes are the three rows and the last two are left unread.
        {"banded rows as rows",
         0x02,
         {0xA0, 0xE0, 0x00, 0xA0, 0x40},
         0x00,
         {"10100", "11100", "00000"}},
        {"a delta record, as columns",
         0x00 | RECORD_DELTA,
         ROWS_5X3,
         0x01,
         {"10100", "11000", "00000"}},
    };
    for (const AsLayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordRecipe recipe;
        recipe.layout = c.written;
        recipe.depth = 1;
        recipe.width = 5;
        recipe.height = 3;
        recipe.unpacked = c.unpacked;
        recipe.delta = DeltaHeader{40, 0, 0};
        const Bytes file = MakeRecord(recipe);
        DisplayBitmap bitmap;
        ASSERT_EQ(DecodeRecordAsLayout(MemorySource(file), 0, c.readAs, bitmap),
                  DecodeStatus::Shown);
        ASSERT_EQ(bitmap.width, 5);
        ASSERT_EQ(bitmap.height, 3);
        EXPECT_EQ(Pixels(bitmap), c.shown);
    }
}

TEST(DecodeRecordAsLayout, ASquashRecordIsReadThroughItsOwnCoding) {
    // The worked squash record of zentra_format.h: 24 x 3, every row 3C 81 FF, a palette.
    // Read as column order, stream byte c is column c: its nine bytes 3C, 81, FF three
    // times give the columns (0,0,1), (1,0,0), (1,1,1) three times; the 15 columns after
    // them were never written.
    const Bytes example = {0x17, 0x00, 0x00, 0x00, 0x02, 0xA2, 0x00, 0xC1, 0x18, 0x00, 0x03, 0x00,
                           0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x02, 0x3C, 0x81, 0xFF, 0x45};
    DisplayBitmap bitmap;
    ASSERT_EQ(DecodeRecordAsLayout(MemorySource(example), 0, 0x01, bitmap), DecodeStatus::Shown);
    EXPECT_EQ(Pixels(bitmap),
              (std::vector<std::string>{"011011011000000000000000", "001001001000000000000000",
                                        "101101101000000000000000"}));
    EXPECT_EQ(bitmap.colours[1].green, 0xFF); // the record's palette is kept
}

TEST(DecodeRecordAsLayout, TheRecordIsFoundByIndexAndAMissingOneIsSaid) {
    RecordRecipe first;
    first.width = 5;
    first.height = 3;
    first.unpacked = {0, 0, 0};
    RecordRecipe second = first;
    second.unpacked = ROWS_5X3;
    const Bytes file = Concat({MakeRecord(first), MakeRecord(second)});
    DisplayBitmap bitmap;
    ASSERT_EQ(DecodeRecordAsLayout(MemorySource(file), 1, 0x10, bitmap), DecodeStatus::Shown);
    EXPECT_EQ(Pixels(bitmap), (std::vector<std::string>{"10000", "01001", "11010"}));
    EXPECT_EQ(DecodeRecordAsLayout(MemorySource(file), 2, 0, bitmap), DecodeStatus::NoRecord);
    EXPECT_FALSE(bitmap.pixels.has_value());
    EXPECT_EQ(DecodeRecordAsLayout(MemorySource(file), -1, 0, bitmap), DecodeStatus::NoRecord);
}

} // namespace
