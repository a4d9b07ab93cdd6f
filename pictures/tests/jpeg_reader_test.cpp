// JPEG pictures written by ImageMagick (tests/data/README): YCbCr and Adobe's inverted CMYK
// give the seed picture's colours within the rounding of a lossy format; a cut file is
// refused.
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

// libjpeg would fill a cut picture with grey and only warn: a file whose data end early is
// refused like a cut PNG, whether it ends inside the scan, before the last scan of a
// progressive file or just before the end marker; one cut before its scans is not a JPEG.
TEST(JpegReader, ACutFileIsRefused) {
    const Bytes baseline = FileBytes("im_colour7x5.jpg");
    const Bytes progressive = FileBytes("im_grey7x5_progressive.jpg");
    // The first start-of-scan marker FF DA, and the last one.
    const auto scan = [](const Bytes& file, bool last) {
        std::size_t found = 0;
        for (std::size_t at = 0; at + 1 < file.size(); ++at) {
            if (file[at] == 0xFF && file[at + 1] == 0xDA) {
                found = at;
                if (!last) {
                    break;
                }
            }
        }
        return found;
    };
    const auto cut = [](const Bytes& file, std::size_t size) {
        return Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    };
    ASSERT_LT(scan(baseline, false) + 40, baseline.size());
    ASSERT_GT(scan(progressive, true), scan(progressive, false));
    const std::string truncated = "ERROR: truncated input file (not enough pixel data)\n  in "
                                  "\'picture.jpg\': not enough data for 7 x 5 pixels\n";
    const struct {
        const char* what;
        Bytes file;
        std::string message; // empty: read
    } cases[] = {
        {"whole", baseline, ""},
        {"whole progressive", progressive, ""},
        {"cut inside the scan", cut(baseline, scan(baseline, false) + 40), truncated},
        {"cut before the last scan", cut(progressive, scan(progressive, true)), truncated},
        {"no end marker", cut(baseline, baseline.size() - 2), truncated},
        {"cut before the scans", cut(baseline, scan(baseline, false) - 10),
         "ERROR: file 'picture.jpg' is not a valid JPEG picture\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image = ReadColours(c.file, recorder);
        EXPECT_EQ(image.has_value(), c.message.empty());
        EXPECT_EQ(recorder.Messages(), c.message.empty() ? std::vector<std::string>{}
                                                         : std::vector<std::string>{c.message});
    }
}

} // namespace
