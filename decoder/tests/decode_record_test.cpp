// DecodeRecord against hand-packed records: pixel placement for every order, depth and
// lay-out flag, colour tables, the platform header, build-up runs and clipping.
#include "decode_record.h"
#include "record_walk.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool LeavesPixels(DecodeStatus status) {
    return status == DecodeStatus::Shown || status == DecodeStatus::Planar ||
           status == DecodeStatus::DepthNotShown;
}

DisplayBitmap Decode(const Bytes& file, int index, bool buildUp) {
    DisplayBitmap bitmap;
    const DecodeStatus status = DecodeRecord(MemorySource(file), index, buildUp, bitmap);
    EXPECT_EQ(bitmap.pixels.has_value(), LeavesPixels(status)) << static_cast<int>(status);
    return bitmap;
}

// The 10 x 3 one-bit picture used throughout, top row first:
//   1 1 0 0 1 0 1 0 0 1
//   0 1 1 0 0 0 0 1 1 0
//   1 0 0 0 0 0 0 0 0 1
// and its bitmap block: stride 4, bottom row first.
const Bytes PICTURE_10X3 = {0x80, 0x40, 0, 0, 0x61, 0x80, 0, 0, 0xCA, 0x40, 0, 0};
const Bytes ROWS_10X3 = {0xCA, 0x40, 0x61, 0x80, 0x80, 0x40};

// The 3 x 10 one-bit picture with columns (rows 0-9 from the top)
//   1 0 0 0 0 0 0 1 1 0 / 0 1 0 0 0 0 0 0 0 1 / 1 1 1 0 0 0 0 0 1 1
const Bytes PICTURE_3X10 = {0x60, 0, 0, 0, 0xA0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0,
                            0,    0, 0, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0, 0,
                            0x20, 0, 0, 0, 0x60, 0, 0, 0, 0xA0, 0, 0, 0};

// The 5 x 3 two-bit picture 3 0 1 2 1 / 0 2 3 3 0 / 1 1 0 0 2.
const Bytes PICTURE_5X3 = {0x50, 0x80, 0, 0, 0x2F, 0x00, 0, 0, 0xC6, 0x40, 0, 0};

// The 3 x 2 four-bit picture A 3 F / 1 0 7.
const Bytes PICTURE_4BIT = {0x10, 0x70, 0, 0, 0xA3, 0xF0, 0, 0};

// The 3 x 2 eight-bit picture 10 20 30 / 40 50 60.
const Bytes PICTURE_8BIT = {0x40, 0x50, 0x60, 0, 0x10, 0x20, 0x30, 0};

// The 3 x 2 24-bit picture, bitmap bytes blue, green, red:
//   (1 2 3)(4 5 6)(7 8 9) / (10 11 12)(13 14 15)(16 17 18).
const Bytes PICTURE_24BIT = {10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0,
                             1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0};

// The 3 x 2 RGB565 picture red F800, green 07E0, blue 001F / white FFFF, 1234, A5C3, its
// bitmap block low byte first, and its pixels as stored high byte first.
const Bytes PICTURE_16BIT = {0xFF, 0xFF, 0x34, 0x12, 0xC3, 0xA5, 0, 0,
                             0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0};
const Bytes ROWS_16BIT_HIGH_FIRST = {0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F,
                                     0xFF, 0xFF, 0x12, 0x34, 0xA5, 0xC3};

struct PlacementCase {
    const char* name;
    RecordRecipe record;
    Bytes block;
};

TEST(DecodeRecordTest, PlacesPixelsForEveryOrderAndDepth) {
    const PlacementCase cases[] = {
        {"1-bit rows", Recipe(0x00, 1, 10, 3, ROWS_10X3), PICTURE_10X3},
        {"1-bit rows reversed", Recipe(0x04, 1, 10, 3, {0x53, 0x02, 0x86, 0x01, 0x01, 0x02}),
         PICTURE_10X3},
        {"1-bit rows inverted Y", Recipe(0x10, 1, 10, 3, {0x80, 0x40, 0x61, 0x80, 0xCA, 0x40}),
         PICTURE_10X3},
        {"1-bit columns",
         Recipe(0x01, 1, 10, 3, {0xA0, 0xC0, 0x40, 0x00, 0x80, 0x00, 0x80, 0x40, 0x40, 0xA0}),
         PICTURE_10X3},
        {"1-bit columns reversed",
         Recipe(0x05, 1, 10, 3, {0x05, 0x03, 0x02, 0x00, 0x01, 0x00, 0x01, 0x02, 0x02, 0x05}),
         PICTURE_10X3},
        {"1-bit columns inverted Y",
         Recipe(0x11, 1, 10, 3, {0xA0, 0x60, 0x40, 0x00, 0x20, 0x00, 0x20, 0x40, 0x40, 0xA0}),
         PICTURE_10X3},
        {"1-bit banded columns", Recipe(0x03, 1, 10, 3, {0xCA, 0x61, 0x80, 0x40, 0x80, 0x40}),
         PICTURE_10X3},
        {"1-bit banded columns reversed",
         Recipe(0x07, 1, 10, 3, {0x53, 0x86, 0x01, 0x02, 0x01, 0x02}), PICTURE_10X3},
        {"1-bit banded columns inverted Y",
         Recipe(0x13, 1, 10, 3, {0x80, 0x61, 0xCA, 0x40, 0x80, 0x40}), PICTURE_10X3},
        {"1-bit columns, two bytes each",
         Recipe(0x01, 1, 3, 10, {0x81, 0x80, 0x40, 0x40, 0xE0, 0xC0}), PICTURE_3X10},
        {"1-bit banded rows", Recipe(0x02, 1, 3, 10, {0x81, 0x40, 0xE0, 0x80, 0x40, 0xC0}),
         PICTURE_3X10},
        {"1-bit banded rows reversed", Recipe(0x06, 1, 3, 10, {0x81, 0x02, 0x07, 0x01, 0x02, 0x03}),
         PICTURE_3X10},
        {"1-bit banded rows inverted Y",
         Recipe(0x12, 1, 3, 10, {0x60, 0x80, 0xC1, 0x40, 0x80, 0xC0}), PICTURE_3X10},
        {"2-bit rows", Recipe(0x00, 2, 5, 3, {0xC6, 0x40, 0x2F, 0x00, 0x50, 0x80}), PICTURE_5X3},
        {"2-bit rows reversed", Recipe(0x04, 2, 5, 3, {0x93, 0x01, 0xF8, 0x00, 0x05, 0x02}),
         PICTURE_5X3},
        {"2-bit columns", Recipe(0x01, 2, 5, 3, {0xC4, 0x24, 0x70, 0xB0, 0x48}), PICTURE_5X3},
        {"2-bit banded rows", Recipe(0x02, 2, 5, 3, {0xC4, 0x24, 0x70, 0xB0, 0x48}), PICTURE_5X3},
        {"2-bit banded columns", Recipe(0x03, 2, 5, 3, {0xC6, 0x2F, 0x50, 0x40, 0x00, 0x80}),
         PICTURE_5X3},
        {"2-bit banded columns inverted Y",
         Recipe(0x13, 2, 5, 3, {0x50, 0x2F, 0xC6, 0x80, 0x00, 0x40}), PICTURE_5X3},
        {"2-bit banded rows reversed", Recipe(0x06, 2, 5, 3, {0x13, 0x18, 0x0D, 0x0E, 0x21}),
         PICTURE_5X3},
        {"1-bit columns, padding bits dropped",
         Recipe(0x01, 1, 2, 5, {0xB7, 0x6F}),
         {0x40, 0, 0, 0, 0x80, 0, 0, 0, 0xC0, 0, 0, 0, 0x40, 0, 0, 0, 0x80, 0, 0, 0}},
        {"4-bit banded rows", Recipe(0x02, 4, 3, 2, {0xA1, 0x30, 0xF7}), PICTURE_4BIT},
        {"4-bit rows", Recipe(0x00, 4, 3, 2, {0xA3, 0xF0, 0x10, 0x70}), PICTURE_4BIT},
        {"4-bit rows reversed", Recipe(0x04, 4, 3, 2, {0x3A, 0x0F, 0x01, 0x07}), PICTURE_4BIT},
        {"4-bit columns", Recipe(0x01, 4, 3, 2, {0xA1, 0x30, 0xF7}), PICTURE_4BIT},
        {"4-bit columns reversed", Recipe(0x05, 4, 3, 2, {0x1A, 0x03, 0x7F}), PICTURE_4BIT},
        {"4-bit columns inverted Y", Recipe(0x11, 4, 3, 2, {0x1A, 0x03, 0x7F}), PICTURE_4BIT},
        {"4-bit banded columns", Recipe(0x03, 4, 3, 2, {0xA3, 0x10, 0xF0, 0x70}), PICTURE_4BIT},
        {"8-bit rows", Recipe(0x00, 8, 3, 2, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}), PICTURE_8BIT},
        {"8-bit rows reversed", Recipe(0x04, 8, 3, 2, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}),
         PICTURE_8BIT},
        {"8-bit rows inverted Y", Recipe(0x10, 8, 3, 2, {0x40, 0x50, 0x60, 0x10, 0x20, 0x30}),
         PICTURE_8BIT},
        {"8-bit columns", Recipe(0x01, 8, 3, 2, {0x10, 0x40, 0x20, 0x50, 0x30, 0x60}),
         PICTURE_8BIT},
        {"8-bit banded rows as rows", Recipe(0x02, 8, 3, 2, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}),
         PICTURE_8BIT},
        {"8-bit banded columns as columns",
         Recipe(0x03, 8, 3, 2, {0x10, 0x40, 0x20, 0x50, 0x30, 0x60}), PICTURE_8BIT},
        // 24 bits: red and blue exchanged where reversal converts (rows with it, columns
        // without it).
        {"24-bit rows",
         Recipe(0x00, 24, 3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}),
         PICTURE_24BIT},
        {"24-bit rows reversed",
         Recipe(0x04, 24, 3, 2, {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}),
         PICTURE_24BIT},
        {"24-bit rows inverted Y",
         Recipe(0x10, 24, 3, 2, {10, 11, 12, 13, 14, 15, 16, 17, 18, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         PICTURE_24BIT},
        {"24-bit columns",
         Recipe(0x01, 24, 3, 2, {3, 2, 1, 12, 11, 10, 6, 5, 4, 15, 14, 13, 9, 8, 7, 18, 17, 16}),
         PICTURE_24BIT},
        {"24-bit columns reversed",
         Recipe(0x05, 24, 3, 2, {1, 2, 3, 10, 11, 12, 4, 5, 6, 13, 14, 15, 7, 8, 9, 16, 17, 18}),
         PICTURE_24BIT},
        // 16 bits: low byte first, high byte first where reversal converts (rows with
        // it, columns without it).
        {"16-bit rows",
         Recipe(0x00, 16, 3, 2,
                {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x34, 0x12, 0xC3, 0xA5}),
         PICTURE_16BIT},
        {"16-bit rows reversed", Recipe(0x04, 16, 3, 2, ROWS_16BIT_HIGH_FIRST), PICTURE_16BIT},
        {"16-bit rows inverted Y",
         Recipe(0x10, 16, 3, 2,
                {0xFF, 0xFF, 0x34, 0x12, 0xC3, 0xA5, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}),
         PICTURE_16BIT},
        {"16-bit banded rows as rows", Recipe(0x06, 16, 3, 2, ROWS_16BIT_HIGH_FIRST),
         PICTURE_16BIT},
        {"16-bit columns",
         Recipe(0x01, 16, 3, 2,
                {0xF8, 0x00, 0xFF, 0xFF, 0x07, 0xE0, 0x12, 0x34, 0x00, 0x1F, 0xA5, 0xC3}),
         PICTURE_16BIT},
        {"16-bit columns reversed",
         Recipe(0x05, 16, 3, 2,
                {0x00, 0xF8, 0xFF, 0xFF, 0xE0, 0x07, 0x34, 0x12, 0x1F, 0x00, 0xC3, 0xA5}),
         PICTURE_16BIT},
        {"16-bit banded columns reversed, inverted Y",
         Recipe(0x17, 16, 3, 2,
                {0xFF, 0xFF, 0x00, 0xF8, 0x34, 0x12, 0xE0, 0x07, 0xC3, 0xA5, 0x1F, 0x00}),
         PICTURE_16BIT},
    };
    for (const PlacementCase& c : cases) {
        const DisplayBitmap bitmap = Decode(MakeRecord(c.record), 0, false);
        ASSERT_TRUE(bitmap.pixels.has_value()) << c.name;
        EXPECT_EQ(*bitmap.pixels, c.block) << c.name;
        EXPECT_EQ(bitmap.width, c.record.width) << c.name;
        EXPECT_EQ(bitmap.height, c.record.height) << c.name;
        EXPECT_EQ(bitmap.depth, c.record.depth) << c.name;
    }
}

TEST(DecodeRecordTest, FillsThePlatformHeader) {
    const struct {
        RecordRecipe record;
        std::uint32_t stride;
        std::uint32_t colours;
        std::uint32_t compression;
        std::array<std::uint32_t, 3> masks;
    } cases[] = {
        {Recipe(0, 1, 10, 3, ROWS_10X3), 4, 2, 0, {}},
        {Recipe(0, 4, 9, 5, Bytes(25, 0x11)), 8, 16, 0, {}},
        {Recipe(0, 8, 13, 2, Bytes(26, 0x22)), 16, 256, 0, {}},
        {Recipe(0, 24, 3, 7, Bytes(63, 0x33)), 12, 0, 0, {}},
        // RGB565 drawn through its channel masks (BI_BITFIELDS).
        {Recipe(0, 16, 1, 1, {1, 2}), 4, 0, 3, {0xF800, 0x07E0, 0x001F}},
    };
    for (const auto& c : cases) {
        const DisplayBitmap bitmap = Decode(MakeRecord(c.record), 0, false);
        ASSERT_TRUE(bitmap.pixels.has_value());
        EXPECT_EQ(bitmap.stride, c.stride);
        EXPECT_EQ(bitmap.pixels->size(), c.stride * c.record.height);
        EXPECT_EQ(bitmap.info.size, 40u);
        EXPECT_EQ(bitmap.info.width, c.record.width);
        EXPECT_EQ(bitmap.info.height, c.record.height);
        EXPECT_EQ(bitmap.info.planes, 1);
        EXPECT_EQ(bitmap.info.bitCount, c.record.depth);
        EXPECT_EQ(bitmap.info.compression, c.compression);
        EXPECT_EQ(bitmap.masks, c.masks);
        EXPECT_EQ(bitmap.info.imageSize, c.stride * c.record.height);
        EXPECT_EQ(bitmap.info.xPelsPerMeter, 2835);
        EXPECT_EQ(bitmap.info.yPelsPerMeter, 2835);
        EXPECT_EQ(bitmap.info.coloursUsed, c.colours);
        EXPECT_EQ(bitmap.info.coloursImportant, c.colours);
    }
}

std::vector<int> Greys(const DisplayBitmap& bitmap, unsigned count) {
    std::vector<int> greys;
    for (unsigned i = 0; i < count; ++i) {
        const ColourEntry& e = bitmap.colours[i];
        EXPECT_EQ(e.red, e.green);
        EXPECT_EQ(e.green, e.blue);
        EXPECT_EQ(e.reserved, 0);
        greys.push_back(e.red);
    }
    return greys;
}

TEST(DecodeRecordTest, BuildsGreyTables) {
    auto decode = [&](std::uint8_t depth) {
        return Decode(MakeRecord(Recipe(0, depth, 1, 1, {0x00, 0x00})), 0, false);
    };
    EXPECT_EQ(Greys(decode(1), 2), (std::vector<int>{0, 255}));
    EXPECT_EQ(Greys(decode(2), 4), (std::vector<int>{0, 64, 128, 255}));
    EXPECT_EQ(Greys(decode(4), 16), (std::vector<int>{0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160,
                                                      176, 192, 208, 224, 255}));
    const std::vector<int> eight = Greys(decode(8), 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(eight[i], i);
    }
    // Entries past 2^depth stay black.
    EXPECT_EQ(decode(2).colours[4].red, 0);
}

TEST(DecodeRecordTest, ReadsThePaletteAsRedGreenBlue) {
    RecordRecipe recipe = Recipe(RECORD_PALETTE, 2, 5, 3, {0xC6, 0x40, 0x2F, 0x00, 0x50, 0x80});
    recipe.palette = {1, 2, 3, 40, 50, 60, 70, 80, 90, 200, 210, 220};
    const DisplayBitmap bitmap = Decode(MakeRecord(recipe), 0, false);
    ASSERT_TRUE(bitmap.pixels.has_value());
    EXPECT_EQ(*bitmap.pixels, PICTURE_5X3);
    const std::uint8_t expected[4][3] = {{3, 2, 1}, {60, 50, 40}, {90, 80, 70}, {220, 210, 200}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bitmap.colours[i].blue, expected[i][0]);
        EXPECT_EQ(bitmap.colours[i].green, expected[i][1]);
        EXPECT_EQ(bitmap.colours[i].red, expected[i][2]);
        EXPECT_EQ(bitmap.colours[i].reserved, 0);
    }
}

// The worked example of zentra_format.h: a 24 x 3 monochrome squash record, rows
// 3C 81 FF, with the palette black, white behind depth bit 6; then a squash delta record
// of 8 x 1 at (8, 1) whose one byte is a copy from before its start (zeros).
TEST(DecodeRecordTest, DecodesSquashRecordsByHand) {
    const Bytes example = {0x17, 0x00, 0x00, 0x00, 0x02, 0xA2, 0x00, 0xC1, 0x18, 0x00, 0x03, 0x00,
                           0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x02, 0x3C, 0x81, 0xFF, 0x45};
    const Bytes delta = {0x13, 0x00, 0x00, 0x00, 0x02, 0xA2, 0x20, 0x81, 0x08, 0x00,
                         0x01, 0x00, 0x28, 0x00, 0x08, 0x00, 0x01, 0x00, 0x60};
    const Bytes file = Concat({example, delta});
    const DisplayBitmap bitmap = Decode(file, 0, false);
    ASSERT_TRUE(bitmap.pixels.has_value());
    EXPECT_EQ(bitmap.width, 24);
    EXPECT_EQ(bitmap.depth, 1);
    EXPECT_EQ(*bitmap.pixels,
              (Bytes{0x3C, 0x81, 0xFF, 0, 0x3C, 0x81, 0xFF, 0, 0x3C, 0x81, 0xFF, 0}));
    EXPECT_EQ(bitmap.colours[0].red, 0x00);
    EXPECT_EQ(bitmap.colours[1].green, 0xFF);
    const DisplayBitmap built = Decode(file, 1, true);
    ASSERT_TRUE(built.pixels.has_value());
    EXPECT_EQ(*built.pixels,
              (Bytes{0x3C, 0x81, 0xFF, 0, 0x3C, 0x00, 0xFF, 0, 0x3C, 0x81, 0xFF, 0}));
}

TEST(DecodeRecordTest, SkipsPaletteAndKeepsTableZeroAboveEightBits) {
    RecordRecipe recipe = Recipe(RECORD_PALETTE | 0x04, 16, 3, 2, ROWS_16BIT_HIGH_FIRST);
    recipe.palette = Bytes(3 * 65536, 0x77);
    const DisplayBitmap bitmap = Decode(MakeRecord(recipe), 0, false);
    ASSERT_TRUE(bitmap.pixels.has_value());
    EXPECT_EQ(*bitmap.pixels, PICTURE_16BIT);
    EXPECT_EQ(bitmap.colours[1].red, 0);
    EXPECT_EQ(bitmap.colours[255].blue, 0);
}

// An animation: a full frame of the 10 x 3 picture, a delta at the right edge, an empty
// delta with a palette, a delta over the top-left byte; then a second display type's
// 8-bit full frame and a delta of it.
class BuildUpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RecordRecipe empty = DeltaRecipe(50, RECORD_PALETTE, 1, 0, 0, 0, 0, {});
        empty.palette = {9, 9, 9, 8, 8, 8};
        file_ = Concat({MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3)),
                        MakeRecord(DeltaRecipe(50, 0, 1, 2, 2, 8, 1, {0x40, 0xC0})),
                        MakeRecord(empty), MakeRecord(DeltaRecipe(50, 0, 1, 8, 1, 0, 0, {0xFF})),
                        MakeRecord(Recipe(0x01, 8, 3, 2, {0x10, 0x40, 0x20, 0x50, 0x30, 0x60})),
                        MakeRecord(DeltaRecipe(50, 0x01, 8, 1, 2, 2, 0, {0x99, 0x88}))});
    }
    Bytes file_;
};

TEST_F(BuildUpTest, DrawsDeltasOverTheLastFullFrame) {
    const struct {
        int index;
        bool buildUp;
        int width;
        int height;
        Bytes block;
    } cases[] = {
        {0, true, 10, 3, PICTURE_10X3},
        {1, true, 10, 3, {0x80, 0xC0, 0, 0, 0x61, 0x40, 0, 0, 0xCA, 0x40, 0, 0}},
        {2, true, 10, 3, {0x80, 0xC0, 0, 0, 0x61, 0x40, 0, 0, 0xCA, 0x40, 0, 0}},
        {3, true, 10, 3, {0x80, 0xC0, 0, 0, 0x61, 0x40, 0, 0, 0xFF, 0x40, 0, 0}},
        {1, false, 2, 2, {0xC0, 0, 0, 0, 0x40, 0, 0, 0}},
        {2, false, 0, 0, {}},
        {3, false, 8, 1, {0xFF, 0, 0, 0}},
        {4, true, 3, 2, PICTURE_8BIT},
        {5, true, 3, 2, {0x40, 0x50, 0x88, 0, 0x10, 0x20, 0x99, 0}},
        {5, false, 1, 2, {0x88, 0, 0, 0, 0x99, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const DisplayBitmap bitmap = Decode(file_, c.index, c.buildUp);
        ASSERT_TRUE(bitmap.pixels.has_value()) << c.index;
        EXPECT_EQ(bitmap.width, c.width) << c.index;
        EXPECT_EQ(bitmap.height, c.height) << c.index;
        EXPECT_EQ(*bitmap.pixels, c.block) << c.index << (c.buildUp ? " built up" : "");
    }
}

TEST_F(BuildUpTest, TheSelectedRecordsColourTableStays) {
    const DisplayBitmap afterPalette = Decode(file_, 2, true);
    EXPECT_EQ(afterPalette.colours[0].red, 9);
    EXPECT_EQ(afterPalette.colours[1].blue, 8);
    const DisplayBitmap afterGrey = Decode(file_, 3, true);
    EXPECT_EQ(afterGrey.colours[0].red, 0);
    EXPECT_EQ(afterGrey.colours[1].blue, 255);
}

TEST_F(BuildUpTest, ClearsTheBitmapForIndexMinusOne) {
    DisplayBitmap bitmap = Decode(file_, 0, false);
    ASSERT_TRUE(bitmap.pixels.has_value());
    EXPECT_EQ(DecodeRecord(MemorySource(file_), -1, false, bitmap), DecodeStatus::NoRecord);
    EXPECT_FALSE(bitmap.pixels.has_value());
}

TEST(DecodeRecordTest, SaysWhyARecordIsNotShown) {
    const Bytes frame = MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3));
    // Planar colour: depths 16 and 24 have no bit planes.
    const Bytes planar = MakeRecord(Recipe(LAYOUT_PLANAR, 16, 2, 1, {1, 2, 3, 4}));
    const Bytes depth3 = MakeRecord(Recipe(0, 3, 5, 2, Bytes(10, 0xFF)));
    const Bytes huge = MakeRecord(Recipe(0, 24, 65535, 65535, {}));
    const Bytes planarDelta = MakeRecord(DeltaRecipe(50, LAYOUT_PLANAR, 24, 1, 1, 0, 0, {1, 2, 3}));
    Bytes damaged = frame;
    damaged[5] = 0xA3;
    const Bytes file = Concat({frame, planarDelta, planar, depth3, huge, damaged, frame});
    // The text is what ztr render and the page say, for a file named "f.ztr".
    const struct {
        int index;
        bool buildUp;
        DecodeStatus status;
        const char* text;
    } cases[] = {
        {0, false, DecodeStatus::Shown, ""},
        {1, false, DecodeStatus::Planar, "record 1 of 'f.ztr' is planar and is not shown\n"},
        // the frame before it is shown, the record is not
        {1, true, DecodeStatus::Planar, "record 1 of 'f.ztr' is planar and is not shown\n"},
        {2, true, DecodeStatus::Planar, "record 2 of 'f.ztr' is planar and is not shown\n"},
        {3, false, DecodeStatus::DepthNotShown,
         "record 3 of 'f.ztr' has a colour depth that is not shown\n"},
        {4, true, DecodeStatus::TooLarge, "record 4 of 'f.ztr' is too large to show\n"},
        {5, false, DecodeStatus::NoRecord, "no record 5 in 'f.ztr'\n"},
        {6, false, DecodeStatus::NoRecord, "no record 6 in 'f.ztr'\n"},
        {-1, false, DecodeStatus::NoRecord, "no record -1 in 'f.ztr'\n"},
        {-7, true, DecodeStatus::NoRecord, "no record -7 in 'f.ztr'\n"},
    };
    for (const auto& c : cases) {
        DisplayBitmap bitmap;
        EXPECT_EQ(DecodeRecord(MemorySource(file), c.index, c.buildUp, bitmap), c.status)
            << c.index << (c.buildUp ? " built up" : "");
        EXPECT_EQ(bitmap.pixels.has_value(), LeavesPixels(c.status)) << c.index;
        EXPECT_EQ(OutcomeText(ShownOutcome(c.status, bitmap, "f.ztr", c.index)), c.text) << c.index;
    }
    // Bytes without a name, and a status that leaves no pixels to show.
    DisplayBitmap blank;
    EXPECT_EQ(OutcomeText(ShownOutcome(DecodeStatus::OutOfMemory, blank, {}, 2)),
              "out of memory for record 2\n");
    EXPECT_EQ(OutcomeText(ShownOutcome(DecodeStatus::NoRecord, blank, {}, 9)),
              "no record 9 in these bytes\n");
    EXPECT_EQ(OutcomeText(ShownOutcome(DecodeStatus::Shown, blank, {}, 0)),
              "record 0 has nothing to show\n");
    DisplayBitmap bitmap;
    EXPECT_EQ(DecodeRecord(MemorySource({}), 0, false, bitmap), DecodeStatus::NoRecord);
    EXPECT_EQ(DecodeRecord("", 0, false, bitmap), DecodeStatus::CannotOpen);
    EXPECT_EQ(DecodeRecord("", -1, false, bitmap), DecodeStatus::NoRecord);
    const auto missing = std::filesystem::temp_directory_path() / "zentra_no_such_file.ztr";
    EXPECT_EQ(DecodeRecord(missing.string(), 0, false, bitmap), DecodeStatus::CannotOpen);
    EXPECT_FALSE(bitmap.pixels.has_value());
}

TEST(DecodeRecordTest, BuildUpWithoutFullFrameStartsAtRecordZero) {
    const Bytes file = Concat({MakeRecord(DeltaRecipe(50, 0, 8, 3, 2, 0, 0, {1, 2, 3, 4, 5, 6})),
                               MakeRecord(DeltaRecipe(50, 0, 8, 1, 1, 1, 1, {7}))});
    const DisplayBitmap bitmap = Decode(file, 1, true);
    ASSERT_TRUE(bitmap.pixels.has_value());
    EXPECT_EQ(*bitmap.pixels, (Bytes{4, 7, 6, 0, 1, 2, 3, 0}));
}

TEST(DecodeRecordTest, StopsAtDamagedHeaders) {
    const Bytes a = MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3));
    Bytes badThird = MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3));
    badThird[5] = 0;
    Bytes shortLength = a;
    shortLength[0] = 5;
    const Bytes damaged = Concat({a, a, badThird, a});
    EXPECT_TRUE(Decode(damaged, 1, false).pixels.has_value());
    EXPECT_FALSE(Decode(damaged, 2, false).pixels.has_value());
    EXPECT_FALSE(Decode(damaged, 3, false).pixels.has_value());
    const Bytes looping = Concat({a, shortLength, a});
    EXPECT_FALSE(Decode(looping, 1, false).pixels.has_value());
    EXPECT_FALSE(Decode(looping, 2, false).pixels.has_value());
    // A build-up run whose later header is damaged keeps what was placed.
    Bytes delta = MakeRecord(DeltaRecipe(50, 0, 1, 8, 1, 0, 0, {0xFF}));
    Bytes badDelta = delta;
    badDelta[4] = 0;
    const Bytes run = Concat({a, delta, delta});
    EXPECT_EQ(*Decode(run, 2, true).pixels,
              (Bytes{0x80, 0x40, 0, 0, 0x61, 0x80, 0, 0, 0xFF, 0x40, 0, 0}));
    const Bytes cut = Concat({a, delta, badDelta});
    EXPECT_FALSE(Decode(cut, 2, true).pixels.has_value());
}

TEST(DecodeRecordTest, ClipsEverythingToTheBitmap) {
    const Bytes full = MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3));
    const struct {
        const char* name;
        RecordRecipe delta;
        Bytes block;
    } cases[] = {
        {"past right and bottom",
         DeltaRecipe(50, 0, 1, 16, 4, 8, 1, Bytes(8, 0xFF)),
         {0x80, 0xC0, 0, 0, 0x61, 0xC0, 0, 0, 0xCA, 0x40, 0, 0}},
        {"far outside", DeltaRecipe(50, 0x01, 1, 9, 9, 200, 300, Bytes(18, 0xFF)), PICTURE_10X3},
        {"inverted Y past the top",
         DeltaRecipe(50, 0x10, 1, 8, 5, 0, 1, Bytes(5, 0x0F)),
         {0x80, 0x40, 0, 0, 0x0F, 0x80, 0, 0, 0x0F, 0x40, 0, 0}},
        {"banded rows padding",
         DeltaRecipe(50, 0x02, 1, 12, 5, 0, 0, Bytes(24, 0xFF)),
         {0xFF, 0xC0, 0, 0, 0xFF, 0xC0, 0, 0, 0xFF, 0xC0, 0, 0}},
        {"banded columns padding",
         DeltaRecipe(50, 0x03, 1, 12, 3, 0, 0, Bytes(6, 0xFF)),
         {0xFF, 0xC0, 0, 0, 0xFF, 0xC0, 0, 0, 0xFF, 0xC0, 0, 0}},
        {"deeper than the bitmap",
         DeltaRecipe(50, 0, 8, 5, 5, 0, 0, Bytes(25, 0xAB)),
         {0xAB, 0x80, 0, 0, 0xAB, 0x80, 0, 0, 0xAB, 0x80, 0, 0}},
        {"24-bit over 1-bit",
         DeltaRecipe(50, 0x01, 24, 7, 2, 0, 0, Bytes(42, 0x0F)),
         {0x80, 0x40, 0, 0, 0x0F, 0x00, 0, 0, 0x0F, 0x00, 0, 0}},
    };
    for (const auto& c : cases) {
        const DisplayBitmap bitmap = Decode(Concat({full, MakeRecord(c.delta)}), 1, true);
        ASSERT_TRUE(bitmap.pixels.has_value()) << c.name;
        EXPECT_EQ(*bitmap.pixels, c.block) << c.name;
    }
}

TEST(DecodeRecordTest, RecordsThatAreNotDecodedLeaveZeros) {
    const RecordRecipe cases[] = {
        Recipe(LAYOUT_PLANAR, 24, 2, 2, Bytes(12, 0xFF)),
        Recipe(0, 3, 5, 2, Bytes(10, 0xFF)),
        Recipe(0, 32, 2, 2, Bytes(16, 0xFF)),
    };
    for (const RecordRecipe& recipe : cases) {
        const DisplayBitmap bitmap = Decode(MakeRecord(recipe), 0, false);
        ASSERT_TRUE(bitmap.pixels.has_value());
        EXPECT_EQ(*bitmap.pixels, Bytes(bitmap.stride * recipe.height, 0));
        EXPECT_EQ(bitmap.depth, recipe.depth);
    }
}

// A planar record cut short: the planes the file cannot reach stay 0. 300 x 300 at two
// planes whose data is one literal C0: pixels (0, 0) and (1, 0) have bit 0 set.
TEST(DecodeRecordTest, CutPlanarRecordsShowWhatTheyHave) {
    RecordRecipe recipe = Recipe(LAYOUT_PLANAR, 2, 300, 300, {});
    Bytes file = MakeRecord(recipe);
    file.push_back(0xC0);
    file[0] = static_cast<std::uint8_t>(file.size());
    const DisplayBitmap bitmap = Decode(file, 0, false);
    ASSERT_TRUE(bitmap.pixels.has_value());
    ASSERT_EQ(bitmap.depth, 2);
    Bytes expected(bitmap.stride * 300, 0);
    expected[299 * bitmap.stride] = 0x50; // the top row: values 1 1 0 0
    EXPECT_TRUE(*bitmap.pixels == expected);
}

// Pixel data that the end of the file cuts short reads as 0, over the zeroed block of a
// record shown alone and over the frame below a delta record.
TEST(DecodeRecordTest, CutRecordsShowWhatTheyHave) {
    const Bytes full = MakeRecord(Recipe(0, 1, 10, 3, ROWS_10X3));
    const Bytes delta = MakeRecord(DeltaRecipe(50, 0, 1, 8, 1, 0, 0, {0xFF}));
    const Bytes columns = MakeRecord(Recipe(0x01, 8, 3, 2, {0x10, 0x40, 0x20, 0x50, 0x30, 0x60}));
    auto cut = [](Bytes bytes, std::size_t missing) {
        bytes.resize(bytes.size() - missing);
        return bytes;
    };
    // 300 x 300 at 8 bits whose data ends after two bytes: the top row starts 5 6.
    Bytes farShort(300 * 300, 0);
    farShort[299 * 300] = 5;
    farShort[299 * 300 + 1] = 6;
    const struct {
        const char* name;
        Bytes file;
        int index;
        bool buildUp;
        Bytes block;
    } cases[] = {
        // coded CA 40 61 | 80 80 00 40
        {"rows", cut(full, 4), 0, false, {0, 0, 0, 0, 0x61, 0, 0, 0, 0xCA, 0x40, 0, 0}},
        // coded 10 40 20 | 50 30 60: columns (10 40) (20 0) (0 0)
        {"columns", cut(columns, 3), 0, false, {0x40, 0, 0, 0, 0x10, 0x20, 0, 0}},
        {"header only", cut(columns, 6), 0, false, Bytes(8, 0)},
        {"delta over the frame",
         Concat({full, cut(delta, 1)}),
         1,
         true,
         {0x80, 0x40, 0, 0, 0x61, 0x80, 0, 0, 0x00, 0x40, 0, 0}},
        {"delta alone", Concat({full, cut(delta, 1)}), 1, false, {0, 0, 0, 0}},
        {"far short", MakeRecord(Recipe(0, 8, 300, 300, {5, 6})), 0, false, farShort},
    };
    for (const auto& c : cases) {
        const auto listed = ListRecords(MemorySource(c.file));
        ASSERT_TRUE(listed.has_value());
        EXPECT_EQ(listed->size(), static_cast<std::size_t>(c.index) + 1) << c.name;
        const DisplayBitmap bitmap = Decode(c.file, c.index, c.buildUp);
        ASSERT_TRUE(bitmap.pixels.has_value()) << c.name;
        EXPECT_EQ(*bitmap.pixels, c.block) << c.name;
    }
}

// Records may carry bytes beyond their pixel data (a longer record length): every reader
// steps on by the record length, so the walk, the list and a build-up run all find the
// records after them.
TEST(DecodeRecordTest, RecordsWithExtraBytesAreSteppedOver) {
    const std::vector<RecordRecipe> recipes = {
        Recipe(0, 1, 10, 3, ROWS_10X3),
        DeltaRecipe(50, 0, 1, 2, 2, 8, 1, {0x40, 0xC0}),
        DeltaRecipe(50, 0, 1, 8, 1, 0, 0, {0xFF}),
        Recipe(0x01, 8, 3, 2, {0x10, 0x40, 0x20, 0x50, 0x30, 0x60}),
        DeltaRecipe(50, 0x01, 8, 1, 2, 2, 0, {0x99, 0x88}),
    };
    // What follows the pixel data: a whole record header (one that a reader stepping by
    // pixel data would take for the next record), nothing, and stray bytes.
    const Bytes extras[] = {MakeRecord(Recipe(0, 8, 1, 1, {0x42})), {}, {0xA2, 0x02, 0x17}};
    Bytes plain;
    Bytes padded;
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        const Bytes record = MakeRecord(recipes[i]);
        plain.insert(plain.end(), record.begin(), record.end());
        RecordRecipe longer = recipes[i];
        longer.extra = extras[i % 3];
        const Bytes longRecord = MakeRecord(longer);
        padded.insert(padded.end(), longRecord.begin(), longRecord.end());
    }
    const auto listed = ListRecords(MemorySource(padded));
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), recipes.size());
    for (int index = 0; index < static_cast<int>(recipes.size()); ++index) {
        EXPECT_EQ((*listed)[static_cast<std::size_t>(index)].header.width, recipes[index].width);
        for (const bool buildUp : {false, true}) {
            const DisplayBitmap want = Decode(plain, index, buildUp);
            const DisplayBitmap got = Decode(padded, index, buildUp);
            ASSERT_TRUE(want.pixels && got.pixels) << index;
            EXPECT_EQ(*got.pixels, *want.pixels) << index << (buildUp ? " built up" : "");
            EXPECT_EQ(got.width, want.width) << index;
        }
    }
    // Record 2 built up is record 0 with both deltas over it (worked out by hand).
    EXPECT_EQ(*Decode(padded, 2, true).pixels,
              (Bytes{0x80, 0xC0, 0, 0, 0x61, 0x40, 0, 0, 0xFF, 0x40, 0, 0}));
}

TEST(DecodeRecordTest, RefusesOversizedBitmaps) {
    const RecordRecipe cases[] = {
        Recipe(0, 40, 65535, 1, {}),
        Recipe(0, 24, 65535, 65535, {}),
    };
    for (const RecordRecipe& recipe : cases) {
        EXPECT_FALSE(Decode(MakeRecord(recipe), 0, false).pixels.has_value());
    }
}

} // namespace
