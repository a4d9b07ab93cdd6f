// Choosing the reader by extension, and turning rows over.
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

struct ReverseCase {
    std::size_t rowLength;
    std::size_t rowCount;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

TEST(ReverseRows, SwapsRowsAroundTheMiddle) {
    const ReverseCase cases[] = {
        {2, 3, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
        {3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {5, 1, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
        {1, 2, {7, 9}, {9, 7}},
    };
    for (const ReverseCase& c : cases) {
        std::vector<std::uint8_t> pixels = c.before;
        ReverseRows(pixels.data(), c.rowLength, c.rowCount);
        EXPECT_EQ(pixels, c.after) << c.rowLength << " x " << c.rowCount;
    }
    std::vector<std::uint8_t> untouched = {4, 5};
    ReverseRows(untouched.data(), 2, 0);
    EXPECT_EQ(untouched, (std::vector<std::uint8_t>{4, 5}));
}

// A 3 x 2 8-bit bitmap: bottom row 1 2 3, top row 4 5 6 (rows padded to 4 bytes).
std::vector<std::uint8_t> SmallBitmap() {
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    return MakeBmp(fields, std::vector<std::uint8_t>(4 * 256, 0), {1, 2, 3, 0, 4, 5, 6, 0});
}

const std::string GREY_3X2 = "P2\n3 2\n255\n9 8 7\n6 5 4\n";

struct ExtensionCase {
    const char* name;
    bool bitmapContent;
    std::vector<std::uint8_t> pixels; // empty when the load fails
    std::string message;
};

TEST(LoadImageFile, ChoosesTheReaderByTheLastExtension) {
    const ExtensionCase cases[] = {
        {"picture.bmp", true, {4, 5, 6, 1, 2, 3}, ""},
        {"PICTURE.BMP", true, {4, 5, 6, 1, 2, 3}, ""},
        {"picture.bMp", true, {4, 5, 6, 1, 2, 3}, ""},
        {"picture.dib", true, {}, "Invalid PBM/PGM/PPM image\n"},
        {"picture.bmp.pgm", true, {}, "Invalid PBM/PGM/PPM image\n"},
        {"picture.bmpx", true, {}, "Invalid PBM/PGM/PPM image\n"},
        {"picture_without_extension", true, {}, "Invalid PBM/PGM/PPM image\n"},
        {"grey.pgm", false, {9, 8, 7, 6, 5, 4}, ""},
        {"grey.pbm.dib", false, {9, 8, 7, 6, 5, 4}, ""},
        {"grey", false, {9, 8, 7, 6, 5, 4}, ""},
        {"grey.BMP", false, {}, ""}, // message names the path: checked below
    };
    for (const ExtensionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.bitmapContent ? WriteScratchFile(c.name, SmallBitmap())
                                                 : WriteScratchFile(c.name, GREY_3X2);
        MessageRecorder recorder;
        const std::optional<SourceImage> image = LoadImageFile(path, recorder.Sink());
        if (c.pixels.empty()) {
            EXPECT_FALSE(image.has_value());
            const std::string expected =
                c.message.empty()
                    ? "ERROR: file '" + path + "' has an invalid or unsupported format\n"
                    : c.message;
            EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
            continue;
        }
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST(LoadImageFile, ToolBitmapComesTopRowFirst) {
    // ReadBmpImage keeps the file's bottom-up order; LoadImageFile turns it over.
    const std::string path = TestDataPath("im_grey7x5_bmp3.bmp");
    const std::optional<SourceImage> stored = ReadBmpImage(path, MessageSink{});
    const std::optional<SourceImage> loaded = LoadImageFile(path, MessageSink{});
    ASSERT_TRUE(stored.has_value());
    ASSERT_TRUE(loaded.has_value());
    std::vector<std::uint8_t> turned = stored->pixels;
    ReverseRows(turned.data(), 7, 5);
    EXPECT_EQ(loaded->pixels, turned);
    EXPECT_NE(loaded->pixels, stored->pixels);
    EXPECT_EQ(loaded->palette, stored->palette);
}

TEST(LoadImageFile, OneRowBitmapIsUnchanged) {
    BmpFields fields;
    fields.width = 1;
    fields.height = 1;
    const std::string path =
        WriteScratchFile("one.bmp", MakeBmp(fields, std::vector<std::uint8_t>(1024, 0), {0x9C}));
    const std::optional<SourceImage> image = LoadImageFile(path, MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, std::vector<std::uint8_t>{0x9C});
    EXPECT_EQ(image->levels, 256);
}

} // namespace
