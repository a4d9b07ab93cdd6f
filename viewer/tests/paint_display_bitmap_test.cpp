// What the paint handler hands to the platform: only bitmaps that it can draw whole, and
// 2-bit bitmaps widened to 4 bits with the same colours; checked on the window as well.
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
    // 11 x 5 pixels at 2 bits in row order: 3 bytes per row. No byte equals the one before
    // it and the first is not 0, so the run-length coded data is the bytes themselves.
    const Bytes unpacked{0x1B, 0xE4, 0x39, 0x4E, 0x93, 0x6C, 0xC6, 0x1B,
                         0xB1, 0x72, 0x0F, 0xF0, 0x5A, 0xA5, 0x27};
    RecordHeader header;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + unpacked.size());
    header.layout = ORDER_ROWS;
    header.depth = 2;
    header.width = 11;
    header.height = 5;
    const auto head = EncodeRecordHeader(header);
    Bytes record(head.begin(), head.end());
    record.insert(record.end(), unpacked.begin(), unpacked.end());
    const std::string file = data_.File("grey2.ztr");
    WriteFileBytes(file, record);
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

} // namespace
