// Files that the converter never writes: unusual depths, lay-outs that are not decoded,
// damaged and foreign bytes. Each is listed, selected and painted at several zooms; the
// window must show exactly the decoder's bitmap, a plain background for a bitmap that the
// platform cannot draw, or the prompt.
#include "window_test_support.h"

#include "decode_record.h"
#include "paint_display_bitmap.h"
#include "viewer_window.h"
#include "zentra_format.h"

namespace {

// Pixel data whose run-length coded form is the bytes themselves: no byte equals the one
// before it and the first one is not 0.
Bytes LiteralData(std::size_t count) {
    Bytes data(count);
    for (std::size_t i = 0; i < count; ++i) {
        data[i] = static_cast<std::uint8_t>((i * 73 + 29) % 251 + 1);
    }
    return data;
}

Bytes Record(std::uint8_t layout, std::uint8_t depth, std::uint16_t width, std::uint16_t height,
             std::size_t dataBytes) {
    return RecordBytes(layout, depth, width, height, LiteralData(dataBytes));
}

struct HostileCase {
    const char* what;
    Bytes file;
    std::vector<std::string> lines;
};

using HostileFileTest = ViewerWindowTest;

TEST_F(HostileFileTest, UnusualFilesAreListedAndPaintedInsideTheWindow) {
    Bytes foreign = LiteralData(45);
    Bytes shortLength = Record(0x00, 1, 9, 4, 8);
    shortLength[0] = 5; // a record length below the header's own size
    const HostileCase cases[] = {
        {"32 bits",
         Record(0x00, 32, 5, 3, 60),
         {"5 x 3, colour depth 32 bits, layout 00 [row order]"}},
        {"24 bits, reversed",
         Record(0x04, 24, 7, 2, 42),
         {"7 x 2, colour depth 24 bits, layout 04 [row order, reversed pixel order]"}},
        {"16 bits in columns",
         Record(0x01, 16, 3, 5, 30),
         {"3 x 5, colour depth 16 bits, layout 01 [column order]"}},
        {"3 bits",
         Record(0x00, 3, 7, 3, 21),
         {"7 x 3, colour depth 3 bits, layout 00 [row order]"}},
        {"4 bits, inverted Y",
         Record(0x10, 4, 9, 4, 20),
         {"9 x 4, colour depth 4 bits, layout 10 [row order, inverted Y-axis]"}},
        {"banded columns",
         Record(0x03, 1, 9, 16, 18),
         {"9 x 16 monochrome, layout 03 [banded columns]"}},
        {"planar",
         Record(0x08, 1, 9, 4, 8),
         {"9 x 4 monochrome, layout 08 [row order, planar lay-out]"}},
        {"banded rows at 8 bits",
         Record(0x02, 8, 4, 3, 12),
         {"4 x 3, colour depth 8 bits, layout 02 [banded rows]"}},
        {"record length below the header", shortLength, {}},
        {"foreign bytes", foreign, {}},
        {"empty file", Bytes{}, {}},
    };
    CreateWindowNow();
    int n = 0;
    for (const HostileCase& c : cases) {
        const std::string file = data_.File("hostile" + std::to_string(++n) + ".ztr");
        WriteFileBytes(file, c.file);
        OpenThroughDialog(file);
        EXPECT_EQ(ListLines(), c.lines) << c.what;
        EXPECT_TRUE(Recorded.boxes.empty()) << c.what;

        DisplayBitmap decoded;
        DecodeRecord(file, c.lines.empty() ? -1 : 0, false, decoded);
        for (const WORD zoom : {104, 106}) {
            Command(zoom);
            const ClientPixels shown = CaptureClient(window_);
            ClientPixels expected;
            if (!decoded.pixels) {
                expected = ExpectedPrompt(window_, "Please select a bitmap lay-out from the list",
                                          shown.width, shown.height);
            } else if (decoded.depth == 2 || IsDrawable(decoded)) {
                expected =
                    ExpectedPicture(decoded, zoom == 104 ? 1 : 4, false, shown.width, shown.height);
            } else {
                expected = ClientPixels{
                    shown.width, shown.height,
                    std::vector<std::uint32_t>(shown.pixels.size(), ButtonFaceColour())};
            }
            EXPECT_TRUE(SameBelow(shown, expected, 60)) << c.what << ", command " << zoom;
        }
    }
}

} // namespace
