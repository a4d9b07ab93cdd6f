// Bitmap reading: files written by ImageMagick, netpbm and PIL (40- and 124-byte
// headers), stored-row strides, where the table and the pixel data are found, and
// every refusal message.
#include "first_frame.h"
#include "readers_seed_pictures.h"
#include "readers_test_support.h"
#include "source_image.h"
#include "system_reasons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Palette = std::array<std::uint8_t, PALETTE_BYTES>;

struct ToolBitmapCase {
    const char* file;
    std::int32_t width;
    std::int32_t height;
    std::int32_t levels;
    std::vector<std::uint8_t> grey; // the seed's grey level of every pixel, top first
};

// Pixels of 4- and 8-bit bitmaps are scaled indices: each must name a table entry
// holding the seed's grey. 1-bit tables (black, white) give the grey directly.
TEST(ReadBmpFirstFrame, ReadsFilesWrittenByOtherTools) {
    const ToolBitmapCase cases[] = {
        {"im_grey5x3_bmp3.bmp", 5, 3, 16, GREY_5X3},  {"im_grey5x3_v5.bmp", 5, 3, 16, GREY_5X3},
        {"netpbm_grey5x3.bmp", 5, 3, 16, GREY_5X3},   {"im_grey7x5_bmp3.bmp", 7, 5, 256, Grey7x5()},
        {"im_grey7x5_v5.bmp", 7, 5, 256, Grey7x5()},  {"netpbm_grey7x5.bmp", 7, 5, 256, Grey7x5()},
        {"pil_grey7x5.bmp", 7, 5, 256, Grey7x5()},    {"im_bits10x3_bmp3.bmp", 10, 3, 2, BITS_10X3},
        {"netpbm_bits10x3.bmp", 10, 3, 2, BITS_10X3}, {"pil_bits10x3.bmp", 10, 3, 2, BITS_10X3},
    };
    for (const ToolBitmapCase& c : cases) {
        SCOPED_TRACE(c.file);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            LoadImageFile(TestDataPath(c.file), recorder.Sink());
        ASSERT_TRUE(image.has_value());
        EXPECT_TRUE(recorder.Messages().empty());
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->levels, c.levels);
        ASSERT_EQ(image->pixels.size(), c.grey.size());
        if (c.levels == 2) {
            EXPECT_EQ(image->pixels, c.grey);
            EXPECT_EQ(image->recordPalette, Palette{});
            continue;
        }
        for (std::size_t i = 0; i < c.grey.size(); ++i) {
            const int scale = 255 / (c.levels - 1);
            ASSERT_EQ(image->pixels[i] % scale, 0) << "pixel " << i;
            const std::size_t index = image->pixels[i] / scale;
            const std::uint8_t g = c.grey[i];
            EXPECT_EQ(image->recordPalette[3 * index + 0], g) << "pixel " << i;
            EXPECT_EQ(image->recordPalette[3 * index + 1], g) << "pixel " << i;
            EXPECT_EQ(image->recordPalette[3 * index + 2], g) << "pixel " << i;
        }
    }
}

TEST(ReadBmpFirstFrame, TableEntriesAreRedGreenBlue) {
    // Two 4-bit entries stored blue, green, red, reserved; pixel 0 then 1.
    BmpFields fields;
    fields.width = 2;
    fields.bitCount = 4;
    fields.colourCount = 2;
    const std::vector<std::uint8_t> table = {0x01, 0x02, 0x03, 0xAA, 0x11, 0x22, 0x33, 0xBB};
    const std::string path =
        WriteScratchFile("rgb.bmp", MakeBmp(fields, table, {0x01, 0x00, 0x00, 0x00}));
    const std::optional<SourceImage> image = ReadBmpFirstFrame(path, MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0, 17}));
    Palette expected{};
    expected[0] = 0x03;
    expected[1] = 0x02;
    expected[2] = 0x01;
    expected[3] = 0x33;
    expected[4] = 0x22;
    expected[5] = 0x11;
    // Entries 2-15 come from the bytes behind the two-entry table: the pixel row.
    expected[6] = 0x00;
    expected[7] = 0x00;
    expected[8] = 0x01;
    EXPECT_EQ(image->recordPalette, expected);
}

struct StrideCase {
    const char* what;
    std::uint16_t bitCount;
    std::int32_t width;
    std::vector<std::uint8_t> data;   // two stored rows, padding bytes 0xEE
    std::vector<std::uint8_t> pixels; // file order, bottom row first
};

TEST(ReadBmpFirstFrame, SkipsThePaddingOfEveryStoredRow) {
    const StrideCase cases[] = {
        {"4 bits, 3 wide: stride 4, 2 skipped",
         4,
         3,
         {0x12, 0x3F, 0xEE, 0xEE, 0xF0, 0x9A},
         {17, 34, 51, 255, 0, 153}},
        {"1 bit, 10 wide: stride 4, 2 skipped",
         1,
         10,
         {0xB1, 0x7F, 0xEE, 0xEE, 0x00, 0x80},
         {255, 0, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0}},
        {"8 bits, 5 wide: stride 8, 3 skipped",
         8,
         5,
         {1, 2, 3, 4, 5, 0xEE, 0xEE, 0xEE, 6, 7, 8, 9, 10},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const StrideCase& c : cases) {
        SCOPED_TRACE(c.what);
        BmpFields fields;
        fields.width = c.width;
        fields.height = 2;
        fields.bitCount = c.bitCount;
        const std::vector<std::uint8_t> table(4u << c.bitCount, 0);
        MessageRecorder recorder;
        const std::optional<SourceImage> image = ReadBmpFirstFrame(
            WriteScratchFile("stride.bmp", MakeBmp(fields, table, c.data)), recorder.Sink());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST(ReadBmpFirstFrame, OneBitTableLeavesThePaletteAlone) {
    BmpFields fields;
    fields.width = 3;
    fields.bitCount = 1;
    const std::vector<std::uint8_t> table = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
    const std::optional<SourceImage> image = ReadBmpFirstFrame(
        WriteScratchFile("mono.bmp", MakeBmp(fields, table, {0x40, 0, 0, 0})), MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0, 255, 0}));
    EXPECT_EQ(image->recordPalette, Palette{});
}

TEST(ReadBmpFirstFrame, ColourCountPlacesThePixelsButNotTheTableSize) {
    // 8 bits with 16 colours: pixels at 14 + 40 + 64 = 118; all 256 entries are copied,
    // so entries 16 and 17 hold the pixel bytes and the rest, past the end, are zero.
    BmpFields fields;
    fields.width = 5;
    fields.colourCount = 16;
    std::vector<std::uint8_t> table;
    for (std::uint8_t i = 0; i < 16; ++i) {
        table.insert(table.end(), {i, static_cast<std::uint8_t>(i + 100), 0xC0, 0});
    }
    const std::vector<std::uint8_t> data = {7, 3, 15, 0, 9};
    const std::optional<SourceImage> image = ReadBmpFirstFrame(
        WriteScratchFile("sixteen.bmp", MakeBmp(fields, table, data)), MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, data);
    Palette expected{};
    for (std::size_t i = 0; i < 16; ++i) {
        expected[3 * i + 0] = 0xC0;
        expected[3 * i + 1] = static_cast<std::uint8_t>(i + 100);
        expected[3 * i + 2] = static_cast<std::uint8_t>(i);
    }
    expected[48] = 15; // entry 16 from pixel bytes 7 3 15 0 (blue, green, red, reserved)
    expected[49] = 3;
    expected[50] = 7;
    expected[53] = 9; // entry 17: blue 9, then the file ends
    EXPECT_EQ(image->recordPalette, expected);
}

struct EmptySizeCase {
    std::int32_t width;
    std::int32_t height;
};

TEST(ReadBmpFirstFrame, SizesBelowOneReadNoPixels) {
    const EmptySizeCase cases[] = {{0, 0}, {4, 0}, {0, 3}, {3, INT32_MIN}, {-5, 2}};
    for (const EmptySizeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        BmpFields fields;
        fields.width = c.width;
        fields.height = c.height;
        MessageRecorder recorder;
        const std::optional<SourceImage> image = LoadImageFile(
            WriteScratchFile("empty.bmp", MakeBmp(fields, std::vector<std::uint8_t>(1024), {})),
            recorder.Sink());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->levels, 256);
        EXPECT_TRUE(image->pixels.empty());
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

struct RefusedBitmapCase {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string message; // %s stands for the path
};

std::vector<std::uint8_t> Variant(void (*change)(BmpFields&), std::size_t pixelBytes) {
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    change(fields);
    return MakeBmp(fields, std::vector<std::uint8_t>(1024), std::vector<std::uint8_t>(pixelBytes));
}

// A bitmap whose information header says it is the 12 bytes of OS/2's.
std::vector<std::uint8_t> Os2Bitmap() {
    std::vector<std::uint8_t> bytes = Variant([](BmpFields&) {}, 8);
    PutU32LE(&bytes[14], 12);
    return bytes;
}

TEST(ReadBmpFirstFrame, RefusesWithExactMessages) {
    // The first line is the engine's own; the second names the file and the cause.
    const std::string unsupported =
        "ERROR: file '%s' has an invalid or unsupported format\n  in '%s': ";
    const std::string invalid = unsupported + "not a valid bitmap\n";
    const std::string truncated =
        "ERROR: truncated input file (not enough pixel data)\n  in '%s': ";
    const RefusedBitmapCase cases[] = {
        {"empty file", {}, invalid},
        {"signature BN", Variant([](BmpFields& f) { f.signature[1] = 'N'; }, 8), invalid},
        {"two planes", Variant([](BmpFields& f) { f.planes = 2; }, 8), invalid},
        {"RLE8 at 4 bits",
         Variant(
             [](BmpFields& f) {
                 f.bitCount = 4;
                 f.compression = 1;
             },
             8),
         unsupported + "4 bits a pixel with RLE8 compression, which ztr does not read\n"},
        {"JPEG inside", Variant([](BmpFields& f) { f.compression = 4; }, 8),
         unsupported + "8 bits a pixel with JPEG compression, which ztr does not read\n"},
        {"24 bits with bit fields",
         Variant(
             [](BmpFields& f) {
                 f.bitCount = 24;
                 f.compression = 3;
             },
             24),
         unsupported + "24 bits a pixel with bit-field compression, which ztr does not read\n"},
        {"OS/2 header", Os2Bitmap(),
         unsupported + "an OS/2 bitmap (12-byte header), which ztr does not read\n"},
        {"2 bits", Variant([](BmpFields& f) { f.bitCount = 2; }, 8), invalid},
        {"run-length stored top row first",
         Variant(
             [](BmpFields& f) {
                 f.compression = 1;
                 f.height = -2;
             },
             8),
         invalid},
        // Rows of 4 bytes, the last one's padding left out: 7 bytes in all.
        {"last row short", Variant([](BmpFields&) {}, 6),
         truncated + "3 x 2 pixels need 7 bytes, the file holds 6\n"},
        {"no pixel data", Variant([](BmpFields&) {}, 0),
         truncated + "3 x 2 pixels need 7 bytes, the file holds 0\n"},
        {"run-length data without their end", Variant([](BmpFields& f) { f.compression = 1; }, 2),
         truncated + "not enough data for 3 x 2 pixels\n"},
        {"pixels past a huge header",
         Variant(
             [](BmpFields& f) {
                 f.infoSize = 40;
                 f.colourCount = 0xFFFFFFFF;
             },
             8),
         truncated + "3 x 2 pixels need 7 bytes, the file holds 0\n"},
        {"huge size",
         Variant(
             [](BmpFields& f) {
                 f.width = 0x7FFFFFFF;
                 f.height = 0x7FFFFFFF;
             },
             8),
         "ERROR: file '%s' is too large (2147483647 x 2147483647 pixels; the limit is 32767 "
         "pixels a side and 268435456 pixels in all)\n"},
    };
    for (const RefusedBitmapCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteScratchFile("refused.bmp", c.bytes);
        const std::string expected = WithPath(c.message, path);
        MessageRecorder recorder;
        EXPECT_FALSE(ReadBmpFirstFrame(path, recorder.Sink()).has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
    }
}

// ImageMagick's default for palette bitmaps, RLE8, gives the pixels and table of its
// uncompressed bitmap of the same picture.
TEST(ReadBmpFirstFrame, ReadsImageMagickRunLengthFile) {
    const std::optional<SourceImage> coded =
        LoadImageFile(TestDataPath("im_grey7x5_rle8.bmp"), MessageSink{});
    const std::optional<SourceImage> plain =
        LoadImageFile(TestDataPath("im_grey7x5_bmp3.bmp"), MessageSink{});
    ASSERT_TRUE(coded.has_value());
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(coded->width, 7);
    EXPECT_EQ(coded->height, 5);
    EXPECT_EQ(coded->pixels, plain->pixels);
    EXPECT_EQ(coded->recordPalette, plain->recordPalette);
}

TEST(ReadBmpFirstFrame, MissingFileNamesThePath) {
    const std::string path = (ScratchFolder() / "no_such_picture.bmp").string();
    MessageRecorder recorder;
    EXPECT_FALSE(ReadBmpFirstFrame(path, recorder.Sink()).has_value());
    EXPECT_EQ(recorder.Messages(),
              std::vector<std::string>{"ERROR: failed to open file '" + path + "' for reading\n" +
                                       MissingFileReason()});
}

} // namespace

namespace {

using namespace readers_test;

TEST(ReadBmpFirstFrame, RowsAndPaddingAcrossInputBlocks) {
    // 301 x 250 at 8 bits: 304-byte stored rows, about 76 KB. With 238 table entries the
    // pixels start at 14 + 124 + 952 = 1090, so the 64 KiB input block ends after the first
    // padding byte of row 211 and the skip of the padding crosses into the next block.
    constexpr int width = 301;
    constexpr int height = 250;
    BmpFields fields;
    fields.width = width;
    fields.height = height;
    fields.infoSize = 124;
    fields.colourCount = 238;
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto value = static_cast<std::uint8_t>(x * 7 + y * 13);
            data.push_back(value);
            expected.push_back(value);
        }
        data.insert(data.end(), {0xEE, 0xEE, 0xEE});
    }
    const std::optional<SourceImage> image = ReadBmpFirstFrame(
        WriteScratchFile("large.bmp", MakeBmp(fields, std::vector<std::uint8_t>(952), data)),
        MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, expected);
}

} // namespace
