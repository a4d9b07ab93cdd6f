// JPEG pictures written by ImageMagick (tests/data/README): YCbCr and Adobe's inverted CMYK
// give the seed picture's colours within the rounding of a lossy format; a file cut inside
// its scan shows what libjpeg repairs, one cut before it is refused.
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& name) {
    std::ifstream in(TestDataPath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// seed_colour7x5.ppm's colours, top row first.
Bytes SeedColours() {
    Bytes rgb;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            rgb.push_back(static_cast<std::uint8_t>((x * 40 + y * 13) % 256));
            rgb.push_back(static_cast<std::uint8_t>((y * 50 + x * 7) % 256));
            rgb.push_back(static_cast<std::uint8_t>((x * y * 17 + 30) % 256));
        }
    }
    return rgb;
}

std::optional<SourceImage> ReadColours(const Bytes& file, MessageRecorder& recorder) {
    SourceReadOptions options;
    options.colours = true;
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFramesFromMemory(file, "picture.jpg", options, recorder.Sink());
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}

TEST(JpegReader, ColourAndInvertedCmykGiveTheSeedColours) {
    for (const char* file : {"im_colour7x5.jpg", "im_colour7x5_cmyk.jpg"}) {
        SCOPED_TRACE(file);
        MessageRecorder recorder;
        const std::optional<SourceImage> image = ReadColours(FileBytes(file), recorder);
        ASSERT_TRUE(image.has_value());
        const Bytes seed = SeedColours();
        ASSERT_EQ(image->rgb.size(), seed.size());
        for (std::size_t i = 0; i < seed.size(); ++i) {
            EXPECT_LE(std::abs(image->rgb[i] - seed[i]), 3) << "byte " << i;
        }
    }
}

TEST(JpegReader, ACutScanIsRepairedAndACutHeaderRefused) {
    const Bytes whole = FileBytes("im_colour7x5.jpg");
    std::size_t scan = 0; // the start-of-scan marker FF DA
    while (scan + 1 < whole.size() && !(whole[scan] == 0xFF && whole[scan + 1] == 0xDA)) {
        ++scan;
    }
    ASSERT_LT(scan + 40, whole.size());
    MessageRecorder recorder;
    const std::optional<SourceImage> repaired = ReadColours(
        Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(scan + 40)), recorder);
    ASSERT_TRUE(repaired.has_value());
    EXPECT_EQ(repaired->width, 7);
    EXPECT_EQ(repaired->height, 5);
    EXPECT_TRUE(recorder.Messages().empty());
    EXPECT_FALSE(
        ReadColours(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(scan - 10)),
                    recorder)
            .has_value());
    EXPECT_EQ(recorder.Messages(),
              std::vector<std::string>{"ERROR: file 'picture.jpg' is not a valid JPEG picture\n"});
}

} // namespace
