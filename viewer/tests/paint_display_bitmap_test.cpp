// What the paint handler hands to the platform: only bitmaps that it can draw whole, 2-bit
// bitmaps widened to 4 bits with the same colours, and 16- and 24-bit records in their own
// colours; checked on the window as well.
#include "window_test_support.h"

#include "bitmap_rgb.h"
#include "paint_display_bitmap.h"
#include "viewer_window.h"
#include "zentra_format.h"

namespace {

DisplayBitmap MakeBitmap(std::int32_t width, std::int32_t height, std::uint16_t depth) {
    DisplayBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.depth = depth;
    bitmap.stride = static_cast<std::uint32_t>((RowBytes(depth, width) + 3) / 4 * 4);
    bitmap.pixels.emplace(static_cast<std::size_t>(bitmap.stride) * height);
    for (std::size_t i = 0; i < bitmap.pixels->size(); ++i) {
        (*bitmap.pixels)[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    bitmap.info.width = width;
    bitmap.info.height = height;
    bitmap.info.bitCount = depth;
    for (std::size_t i = 0; i < COLOUR_TABLE_ENTRIES; ++i) {
        bitmap.colours[i] = {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 5),
                             static_cast<std::uint8_t>(255 - i), 0};
    }
    return bitmap;
}

struct DrawableCase {
    const char* what;
    DisplayBitmap bitmap;
    bool drawable;
};

TEST(PaintDisplayBitmapTest, OnlyWholeBitmapsOfThePlatformsDepthsAreDrawn) {
    DisplayBitmap shortBlock = MakeBitmap(13, 5, 8);
    shortBlock.pixels->pop_back();
    DisplayBitmap oddStride = MakeBitmap(13, 5, 1);
    oddStride.stride = 2;
    DisplayBitmap absent = MakeBitmap(13, 5, 4);
    absent.pixels.reset();
    DisplayBitmap headerDisagrees = MakeBitmap(13, 5, 8);
    headerDisagrees.info.width = 14;
    const DrawableCase cases[] = {
        {"1 bit", MakeBitmap(13, 5, 1), true},
        {"4 bits", MakeBitmap(13, 5, 4), true},
        {"8 bits", MakeBitmap(13, 5, 8), true},
        {"16 bits", MakeBitmap(13, 5, 16), true},
        {"24 bits", MakeBitmap(13, 5, 24), true},
        {"32 bits", MakeBitmap(13, 5, 32), true},
        {"2 bits (widened first)", MakeBitmap(13, 5, 2), false},
        {"3 bits", MakeBitmap(13, 5, 3), false},
        {"12 bits", MakeBitmap(13, 5, 12), false},
        {"pixel block one byte short", shortBlock, false},
        {"stride below the platform's", oddStride, false},
        {"no pixels", absent, false},
        {"header width differs", headerDisagrees, false},
    };
    for (const DrawableCase& c : cases) {
        EXPECT_EQ(IsDrawable(c.bitmap), c.drawable) << c.what;
    }
}

TEST(PaintDisplayBitmapTest, TwoBitBitmapWidensToTheSameColours) {
    for (const std::int32_t width : {1, 6, 11, 17}) {
        const DisplayBitmap narrow = MakeBitmap(width, 3, 2);
        const auto wide = WidenTwoBitBitmap(narrow);
        ASSERT_TRUE(wide.has_value()) << width;
        EXPECT_EQ(wide->depth, 4);
        EXPECT_EQ(wide->info.bitCount, 4);
        EXPECT_EQ(wide->stride, static_cast<std::uint32_t>((width + 1) / 2 + 3) / 4 * 4);
        EXPECT_TRUE(IsDrawable(*wide));
        for (int row = 0; row < 3; ++row) {
            Bytes expected(static_cast<std::size_t>(width) * 3);
            Bytes actual(expected.size());
            BitmapRowToRgb(narrow, row, expected.data());
            BitmapRowToRgb(*wide, row, actual.data());
            EXPECT_EQ(actual, expected) << "width " << width << ", row " << row;
        }
    }
    EXPECT_FALSE(WidenTwoBitBitmap(MakeBitmap(11, 3, 4)).has_value());
}

using TwoBitWindowTest = ViewerWindowTest;

TEST_F(TwoBitWindowTest, TwoBitRecordIsShownInItsFourGreys) {
    // 11 x 5 pixels at 2 bits in row order: 3 bytes per row.
    const Bytes unpacked{0x1B, 0xE4, 0x39, 0x4E, 0x93, 0x6C, 0xC6, 0x1B,
                         0xB1, 0x72, 0x0F, 0xF0, 0x5A, 0xA5, 0x27};
    const std::string file = data_.File("grey2.ztr");
    WriteFileBytes(file, RecordBytes(ORDER_ROWS, 2, 11, 5, unpacked));
    CreateWindowNow();
    OpenThroughDialog(file);
    Command(105);

    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(ViewerState.displayBitmap.depth, 2);
    const ClientPixels shown = CaptureClient(window_);
    EXPECT_TRUE(SameBelow(
        shown, ExpectedPicture(ViewerState.displayBitmap, 2, false, shown.width, shown.height),
        60));
}

using ColourWindowTest = ViewerWindowTest;

// COLOUR_PICTURE as hand-made records: RGB565 high byte first where the reversal converts
// (rows with it, columns without it); 24 bits blue, green, red unless the reversal converts.
TEST_F(ColourWindowTest, ColourRecordsAreShownInTheirColours) {
    const Bytes columns565 = {0xF8, 0x00, 0xFF, 0xFF, 0x07, 0xE0,
                              0x12, 0x34, 0x00, 0x1F, 0xA5, 0xC3};
    const Bytes rows565 = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x34, 0x12, 0xC3, 0xA5};
    const Bytes rows24 = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00,
                          0xFF, 0xFF, 0xFF, 0xA5, 0x45, 0x10, 0x18, 0xBA, 0xA5};
    const Bytes columns24 = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00,
                             0x10, 0x45, 0xA5, 0x00, 0x00, 0xFF, 0xA5, 0xBA, 0x18};
    const struct {
        const char* name;
        std::uint8_t layout;
        std::uint8_t depth;
        const Bytes& unpacked;
        WORD zoomCommand;
        int zoom;
        bool invert;
    } cases[] = {
        {"16-bit rows reversed", 0x04, 16, COLOUR_PICTURE_RGB565_HIGH_FIRST, 104, 1, false},
        {"16-bit columns", 0x01, 16, columns565, 105, 2, true},
        {"16-bit rows", 0x00, 16, rows565, 105, 2, false},
        {"24-bit rows", 0x00, 24, rows24, 105, 2, false},
        {"24-bit columns", 0x01, 24, columns24, 104, 1, true},
    };
    CreateWindowNow();
    for (const auto& c : cases) {
        const std::string file = data_.File(std::string(c.name) + ".ztr");
        WriteFileBytes(file, RecordBytes(c.layout, c.depth, 3, 2, c.unpacked));
        OpenThroughDialog(file);
        Command(c.zoomCommand);
        if ((ViewerState.invert != 0) != c.invert) {
            Command(107);
        }
        ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value()) << c.name;
        EXPECT_TRUE(
            ShowsColourPicture(CaptureClient(window_), 8, 66, c.zoom, c.invert, c.depth == 16))
            << c.name;
    }
}

} // namespace
