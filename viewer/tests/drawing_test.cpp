// What the window shows: the decoded bitmap at 8, 66, zoomed and inverted, and built up
// from the full frame; read back from the window's pixels and compared with the decoder's
// own result for the same record.
#include "window_test_support.h"

#include "bitmap_rgb.h"
#include "decode_record.h"
#include "viewer_window.h"

#include <filesystem>

namespace {

class DrawingTest : public ViewerWindowTest {
  protected:
    // One 29 x 11 picture for three display types, opened in the window.
    std::string OpenStill() {
        const std::string pgm = data_.File("still.pgm");
        WritePgm(pgm, MakeTestPicture(29, 11));
        const std::string file =
            ConvertPictures({pgm}, {TypeCode(0x00, 1), TypeCode(0x01, 8), TypeCode(0x12, 1)}, 0);
        CreateWindowNow();
        OpenThroughDialog(file);
        return file;
    }

    ::testing::AssertionResult Shows(const std::string& file, int record, bool buildUp, int zoom,
                                     bool invert) {
        DisplayBitmap decoded;
        DecodeRecord(file, record, buildUp, decoded);
        const ClientPixels shown = CaptureClient(window_);
        return SameBelow(shown, ExpectedPicture(decoded, zoom, invert, shown.width, shown.height),
                         60);
    }
};

struct DrawCase {
    int record;
    WORD zoomCommand;
    int zoom;
    bool invert;
};

TEST_F(DrawingTest, EveryRecordAtEveryZoomPlainAndInverted) {
    const std::string file = OpenStill();
    const DrawCase cases[] = {
        {0, 104, 1, false}, {0, 105, 2, false}, {0, 106, 4, false}, {0, 106, 4, true},
        {1, 104, 1, true},  {1, 105, 2, false}, {1, 106, 4, true},  {2, 105, 2, false},
        {2, 104, 1, true},  {2, 106, 4, false},
    };
    for (const DrawCase& c : cases) {
        SelectLine(c.record);
        Command(c.zoomCommand);
        if (ViewerState.invert != c.invert) {
            Command(107);
        }
        EXPECT_TRUE(Shows(file, c.record, false, c.zoom, c.invert))
            << "record " << c.record << ", zoom " << c.zoom << ", invert " << c.invert;
    }
}

// A planar record with a palette, the 5 x 3 black/white/red sign of docs/pictures.md:
// plane 0 50 88 30, plane 1 20 60 88, palette black, white, red. The window shows its
// planes put together, in the palette's colours.
TEST_F(DrawingTest, PlanarRecordsAreShownInTheirPalettesColours) {
    const Bytes sign = {30,   0,    0,    0,    0x02, 0xA2, 0x48, 2, 5, 0, 3, 0, // header
                        0,    0,    0,    255,  255,  255,  255,  0, 0, 0, 0, 0, // palette
                        0x50, 0x88, 0x30, 0x20, 0x60, 0x88};
    const std::string file = data_.File("sign.ztr");
    WriteFileBytes(file, sign);
    CreateWindowNow();
    OpenThroughDialog(file);
    SelectLine(0);
    Command(106);
    EXPECT_TRUE(Shows(file, 0, false, 4, false));
    DisplayBitmap decoded;
    ASSERT_EQ(DecodeRecord(file, 0, false, decoded), DecodeStatus::Shown);
    // K W R W K / W R R K W / R K W W R
    const char* rows[] = {"KWRWK", "WRRKW", "RKWWR"};
    for (int y = 0; y < 3; ++y) {
        std::uint8_t rgb[15];
        BitmapRowToRgb(decoded, y, rgb);
        for (int x = 0; x < 5; ++x) {
            const char want = rows[y][x];
            const std::uint8_t red = want == 'K' ? 0 : 255;
            const std::uint8_t rest = want == 'W' ? 255 : 0;
            EXPECT_EQ(rgb[3 * x], red) << x << ", " << y;
            EXPECT_EQ(rgb[3 * x + 1], rest) << x << ", " << y;
            EXPECT_EQ(rgb[3 * x + 2], rest) << x << ", " << y;
        }
    }
}

// Squash-coded records, full frames and built-up deltas at depths 1, 8 and 16, show
// exactly what the run-length file of the same pictures decodes to.
TEST_F(DrawingTest, SquashCodedRecordsShowAsTheirRunLengthTwins) {
    const GreyPicture a = MakeTestPicture(21, 7);
    GreyPicture b = a;
    for (int x = 4; x < 9; ++x) {
        b.pixels[3 * 21 + x] = static_cast<std::uint8_t>(255 - b.pixels[3 * 21 + x]);
    }
    const std::vector<std::string> pgms{data_.File("s1.pgm"), data_.File("s2.pgm")};
    WritePgm(pgms[0], a);
    WritePgm(pgms[1], b);
    const std::vector<std::uint32_t> codes = {TypeCode(0x00, 1), TypeCode(0x01, 8),
                                              TypeCode(0x04, 16)};
    const std::string twin = data_.File("twin.ztr");
    std::filesystem::rename(ConvertPictures(pgms, codes, 40), twin);
    const std::string squashed = ConvertPictures(pgms, codes, 40, CodingChoice::Squash);
    CreateWindowNow();
    OpenThroughDialog(squashed);
    Command(108);
    ASSERT_TRUE(ViewerState.buildup);
    for (int record = 0; record < static_cast<int>(2 * codes.size()); ++record) {
        SelectLine(record);
        EXPECT_TRUE(Shows(twin, record, true, 1, false)) << "record " << record;
    }
}

TEST_F(DrawingTest, FirstRecordIsShownAtOnceAfterOpening) {
    const std::string file = OpenStill();
    EXPECT_TRUE(Shows(file, 0, false, 1, false));
}

TEST_F(DrawingTest, ZoomThreeFromTheSettingsIsUsedAsIs) {
    PresetSetting("zoom", "3");
    const std::string file = OpenStill();
    EXPECT_EQ(ViewerState.zoom, 3);
    EXPECT_TRUE(Shows(file, 0, false, 3, false));
}

TEST_F(DrawingTest, BuildUpDrawsTheDeltaRecordOverItsFullFrame) {
    GreyPicture a = MakeTestPicture(21, 7);
    GreyPicture b = a;
    for (int x = 4; x < 9; ++x) {
        b.pixels[3 * 21 + x] = static_cast<std::uint8_t>(255 - b.pixels[3 * 21 + x]);
    }
    GreyPicture c = b;
    c.pixels[5 * 21 + 17] = static_cast<std::uint8_t>(255 - c.pixels[5 * 21 + 17]);
    const std::vector<std::string> pgms{data_.File("f1.pgm"), data_.File("f2.pgm"),
                                        data_.File("f3.pgm")};
    WritePgm(pgms[0], a);
    WritePgm(pgms[1], b);
    WritePgm(pgms[2], c);
    const std::string file = ConvertPictures(pgms, {TypeCode(0x00, 8)}, 40);
    CreateWindowNow();
    OpenThroughDialog(file);
    SelectLine(2);

    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(ViewerState.displayBitmap.width, 1) << "alone, the delta record has its own size";
    EXPECT_TRUE(Shows(file, 2, false, 1, false));

    Command(108);
    EXPECT_TRUE(ViewerState.buildup);
    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(ViewerState.displayBitmap.width, 21);
    EXPECT_EQ(ViewerState.displayBitmap.height, 7);
    EXPECT_TRUE(Shows(file, 2, true, 1, false));
    Command(106);
    EXPECT_TRUE(Shows(file, 2, true, 4, false));

    Command(108);
    EXPECT_FALSE(ViewerState.buildup);
    EXPECT_EQ(ViewerState.displayBitmap.width, 1);
}

TEST_F(DrawingTest, InvertRepaintsWithoutDecodingAgainButBuildUpDecodes) {
    const std::string file = OpenStill();
    SelectLine(1);
    DisplayBitmap decoded;
    DecodeRecord(file, 1, false, decoded);
    // With the file gone, any new decoding would leave nothing to show.
    std::filesystem::remove(file);

    Command(107);
    EXPECT_TRUE(ViewerState.invert);
    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(ViewerState.displayBitmap.depth, 8);
    const ClientPixels inverted = CaptureClient(window_);
    EXPECT_TRUE(SameBelow(inverted,
                          ExpectedPicture(decoded, 1, true, inverted.width, inverted.height), 60));

    Command(108);
    EXPECT_FALSE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_TRUE(ShowsPrompt("Please select a bitmap lay-out from the list"));
}

TEST_F(DrawingTest, SelectionChangeDecodesTheNewRecord) {
    OpenStill();
    SelectLine(1);
    EXPECT_EQ(ViewerState.displayBitmap.depth, 8);
    SelectLine(2);
    EXPECT_EQ(ViewerState.displayBitmap.depth, 1);
    // Other notifications of the list do not decode.
    HWND list = GetDlgItem(window_, 200);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(200, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(ViewerState.displayBitmap.depth, 1);
}

} // namespace
