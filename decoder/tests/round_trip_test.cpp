// Pictures written by the conversion writer decode back to their source: every pixel
// order with and without reversal and inverted Y-axis, at depths 1 and 8, for single
// pictures and for animations built up frame by frame.
#include "convert_images.h"
#include "decode_record.h"
#include "report_message.h"
#include "round_trip_support.h"
#include "source_image.h"
#include "test_file.h"
#include "type_code.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

namespace {

using Picture = std::vector<std::uint8_t>; // width x height grey levels, top row first

std::string Messages;

void RecordMessage(void*, const char* text) {
    Messages += text;
}

Picture MakePicture(int width, int height, const std::function<std::uint8_t(int x, int y)>& value) {
    Picture picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.push_back(value(x, y));
        }
    }
    return picture;
}

Bytes Pgm(int width, int height, const Picture& picture) {
    const std::string head =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(head.begin(), head.end());
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    return bytes;
}

// The pixel value at picture column x of picture row top (0 = top) of the bottom-up
// bitmap, for depths 1 to 8.
int PixelAt(const DisplayBitmap& bitmap, int x, int top) {
    const std::uint8_t* row =
        bitmap.pixels->data() + static_cast<std::size_t>(bitmap.height - 1 - top) * bitmap.stride;
    const int bit = x * bitmap.depth;
    return (row[bit / 8] >> (8 - bitmap.depth - bit % 8)) & ((1 << bitmap.depth) - 1);
}

// What the decoder must show for a source pixel at a depth.
int Expected(std::uint8_t grey, int depth) {
    return depth == 1 ? (grey > 127 ? 1 : 0) : grey;
}

void ExpectShows(const DisplayBitmap& bitmap, int width, int height, int depth,
                 const Picture& picture, const std::string& what) {
    ASSERT_TRUE(bitmap.pixels.has_value()) << what;
    ASSERT_EQ(bitmap.width, width) << what;
    ASSERT_EQ(bitmap.height, height) << what;
    ASSERT_EQ(bitmap.depth, depth) << what;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int want = Expected(picture[static_cast<std::size_t>(y * width + x)], depth);
            if (PixelAt(bitmap, x, y) != want && ++wrong <= 3) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is "
                              << PixelAt(bitmap, x, y) << ", expected " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

// Every lay-out the writer takes: four orders, each with and without reversal and
// inverted Y-axis.
std::vector<std::uint8_t> AllLayouts() {
    std::vector<std::uint8_t> layouts;
    for (std::uint8_t order = 0; order < 4; ++order) {
        for (std::uint8_t flags : {0x00, 0x04, 0x10, 0x14}) {
            layouts.push_back(static_cast<std::uint8_t>(order | flags));
        }
    }
    return layouts;
}

class RoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override { Messages.clear(); }

    TempFolder folder_;
    ConversionContext context_{MessageSink{RecordMessage, nullptr}};
};

TEST_F(RoundTripTest, SinglePicturesInEveryLayoutAndDepth) {
    const int width = 13;
    const int height = 11;
    const Picture picture = MakePicture(width, height, [](int x, int y) {
        return static_cast<std::uint8_t>(x * 37 + y * 91 + x * y * 13);
    });
    const std::string source = folder_.Write("single.pgm", Pgm(width, height, picture));
    std::vector<std::uint32_t> codes;
    for (int depth : {1, 8}) {
        for (std::uint8_t layout : AllLayouts()) {
            codes.push_back(MakeTypeCode(layout, static_cast<std::uint8_t>(depth)));
        }
    }
    for (const CodingChoice coding : ROUND_TRIP_CODINGS) {
        context_.coding = coding;
        ASSERT_EQ(WritePicturesAsFrames({source}, codes, 0, context_), Outcome{}) << Messages;
        const std::string file = (folder_.Path() / "single.ztr").string();
        for (std::size_t i = 0; i < codes.size(); ++i) {
            DisplayBitmap bitmap;
            DecodeRecord(file, static_cast<int>(i), false, bitmap);
            ExpectShows(bitmap, width, height, TypeCodeDepth(codes[i]), picture,
                        "layout " + std::to_string(TypeCodeLayout(codes[i])) + " depth " +
                            std::to_string(TypeCodeDepth(codes[i])) + ", " +
                            CodingChoiceWord(coding));
        }
        DisplayBitmap past;
        DecodeRecord(file, static_cast<int>(codes.size()), false, past);
        EXPECT_FALSE(past.pixels.has_value());
    }
}

TEST_F(RoundTripTest, AnimationsBuildUpFrameByFrame) {
    const int width = 13;
    const int height = 11;
    const Picture first = MakePicture(width, height, [](int x, int y) {
        return static_cast<std::uint8_t>((x * 53 + y * 29) ^ (x * y));
    });
    // Changes at the right edge, then at the bottom edge, then a frame equal to the one
    // before it, then a change in the middle.
    Picture right = first;
    for (int y = 2; y < 7; ++y) {
        for (int x = 10; x < width; ++x) {
            right[static_cast<std::size_t>(y * width + x)] ^= 0xC3;
        }
    }
    Picture bottom = right;
    for (int x = 0; x < 5; ++x) {
        bottom[static_cast<std::size_t>((height - 1) * width + x)] ^= 0x81;
    }
    Picture middle = bottom;
    middle[static_cast<std::size_t>(5 * width + 6)] ^= 0xFF;
    const std::vector<Picture> frames = {first, right, bottom, bottom, middle};
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        paths.push_back(
            folder_.Write("frame" + std::to_string(i) + ".pgm", Pgm(width, height, frames[i])));
    }
    std::vector<std::uint32_t> codes;
    for (int depth : {1, 8}) {
        for (std::uint8_t layout : AllLayouts()) {
            codes.push_back(MakeTypeCode(layout, static_cast<std::uint8_t>(depth)));
        }
    }
    for (const CodingChoice coding : ROUND_TRIP_CODINGS) {
        context_.coding = coding;
        ASSERT_EQ(WritePicturesAsFrames(paths, codes, 40, context_), Outcome{}) << Messages;
        const std::string file = (folder_.Path() / "frame0.ztr").string();
        for (std::size_t t = 0; t < codes.size(); ++t) {
            for (std::size_t k = 0; k < frames.size(); ++k) {
                DisplayBitmap bitmap;
                DecodeRecord(file, static_cast<int>(t * frames.size() + k), true, bitmap);
                ExpectShows(bitmap, width, height, TypeCodeDepth(codes[t]), frames[k],
                            "layout " + std::to_string(TypeCodeLayout(codes[t])) + " depth " +
                                std::to_string(TypeCodeDepth(codes[t])) + " frame " +
                                std::to_string(k) + ", " + CodingChoiceWord(coding));
            }
        }
    }
}

TEST_F(RoundTripTest, BitmapSourcesKeepTheirColourTable) {
    const std::string sourcePath = std::string(ZENTRA_TEST_DATA) + "/netpbm_grey7x5.bmp";
    const std::optional<SourceImage> source = LoadImageFile(sourcePath, context_.sink);
    ASSERT_TRUE(source.has_value()) << Messages;
    std::ifstream in(sourcePath, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string copy = folder_.Write("grey.bmp", bytes);
    const std::vector<std::uint32_t> codes = {MakeTypeCode(0x01, 8), MakeTypeCode(0x00, 1)};
    ASSERT_EQ(WritePicturesAsFrames({copy}, codes, 0, context_), Outcome{}) << Messages;
    const std::string file = (folder_.Path() / "grey.ztr").string();
    for (int i = 0; i < 2; ++i) {
        DisplayBitmap bitmap;
        DecodeRecord(file, i, false, bitmap);
        const int depth = TypeCodeDepth(codes[static_cast<std::size_t>(i)]);
        ExpectShows(bitmap, source->width, source->height, depth, source->pixels,
                    "bitmap source at depth " + std::to_string(depth));
        for (int k = 0; k < (1 << depth); ++k) {
            const std::size_t entry = static_cast<std::size_t>(3 * k);
            EXPECT_EQ(bitmap.colours[k].red, source->recordPalette[entry]) << k;
            EXPECT_EQ(bitmap.colours[k].green, source->recordPalette[entry + 1]) << k;
            EXPECT_EQ(bitmap.colours[k].blue, source->recordPalette[entry + 2]) << k;
        }
    }
}

} // namespace
