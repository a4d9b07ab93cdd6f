// Tone options as a conversion applies them, judged on the written 1-bit records: Otsu's
// threshold taken from the picture's own pixels, not from the margins of a fit, and text
// scaled down to a half and a third keeping its ink at the default threshold.
#include "convert_images.h"

#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

void WritePgm(const std::string& path, int width, int height, const Bytes& pixels) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    writer_test::WriteWholeFile(path, bytes);
}

// The pixels of the only record of a 1-bit row-order file, true where black, row by row.
std::vector<bool> BlackPixels(const Bytes& file, int width, int height) {
    const Bytes rows = writer_test::DecodeRunLength(Bytes(file.begin() + 12, file.end()));
    const auto stride = static_cast<std::size_t>((width + 7) / 8);
    std::vector<bool> black;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t byte = rows.at(static_cast<std::size_t>(y) * stride + x / 8);
            black.push_back(((byte >> (7 - x % 8)) & 1) == 0);
        }
    }
    return black;
}

// Converts a grey picture for a 1-bit row-order record with the tone options and gives
// which pixels of the result are black.
std::vector<bool> Convert(const Bytes& pixels, int width, int height, const ToneOptions& tone) {
    ScratchFolder folder("tone_conversion");
    WritePgm(folder.File("picture.pgm"), width, height, pixels);
    ConversionContext context;
    context.tone = tone;
    EXPECT_EQ(
        WritePicturesAsFrames({folder.File("picture.pgm")}, {MakeTypeCode(0x00, 1)}, 0, context),
        Outcome{});
    return BlackPixels(writer_test::ReadWholeFile(folder.File("picture.ztr")), tone.resizeWidth,
                       tone.resizeHeight);
}

double Share(const std::vector<bool>& black) {
    return static_cast<double>(std::count(black.begin(), black.end(), true)) /
           static_cast<double>(black.size());
}

// A photographed whiteboard, paper 180 with strokes of ink 110 (every fourth column and
// the middle row), fitted into a wide panel: white margins on both sides. Otsu over the
// whole panel would split the margins from the picture and blacken all of it.
TEST(ToneConversion, AutoThresholdLooksAtThePictureNotItsMargins) {
    const int width = 31;
    const int height = 17;
    Bytes board;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            board.push_back(x % 4 == 1 || y == 8 ? 110 : 180);
        }
    }
    ToneOptions tone;
    tone.autoThreshold = true;
    tone.resizeWidth = 97;
    tone.resizeHeight = 17;
    const std::vector<bool> black = Convert(board, width, height, tone);
    // The picture keeps its size between margins of 33 columns.
    std::size_t ink = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 97; ++x) {
            const bool inPicture = x >= 33 && x < 64;
            const bool stroke = inPicture && ((x - 33) % 4 == 1 || y == 8);
            ASSERT_EQ(black[static_cast<std::size_t>(y) * 97 + x], stroke) << x << ", " << y;
            ink += stroke;
        }
    }
    EXPECT_GT(ink, 0u);
}

// ImageMagick's text (tests/data/README), 14.7 % ink, scaled to about a half and to a
// third for a 1-bit record at the default threshold: the strokes, mostly one to three
// pixels wide, keep about their share of black instead of fading to grey above 128.
TEST(ToneConversion, TextScaledDownKeepsItsInk) {
    const Bytes file =
        writer_test::ReadWholeFile(std::string(ZENTRA_TEST_DATA) + "/im_text213x69.pgm");
    const std::string header = "P5\n213 69\n255\n";
    const auto headerSize = static_cast<std::ptrdiff_t>(header.size());
    ASSERT_EQ(std::string(file.begin(), file.begin() + headerSize), header);
    const Bytes text(file.begin() + headerSize, file.end());
    ASSERT_EQ(text.size(), 213u * 69u);
    double ink = 0;
    for (const std::uint8_t grey : text) {
        ink += (255 - grey) / 255.0;
    }
    ink /= static_cast<double>(text.size());
    const struct {
        int width;
        int height;
    } sizes[] = {{107, 35}, {71, 23}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        ToneOptions tone;
        tone.resizeWidth = size.width;
        tone.resizeHeight = size.height;
        tone.fit = Fit::Stretch;
        const double black = Share(Convert(text, 213, 69, tone));
        EXPECT_GT(black, 0.75 * ink);
        EXPECT_LT(black, 1.25 * ink);
    }
}

} // namespace
