// Colour records written by the conversion writer decode back to the source's colours:
// exactly at depth 24, and at depth 16 as the top 5, 6 and 5 bits of each channel
// widened again. Both orders, plain and reversed, with inverted Y-axis, banded and planar
// codes (which the writer turns into the plain orders), odd-sized pictures with a
// different colour in each corner, animations whose changes touch every edge, and a
// change of hue at equal luminance, which a grey record does not see, and a GIF's frames
// with their own delays.
#include "bitmap_rgb.h"
#include "colour_to_grey.h"
#include "conversion_request.h"
#include "convert_images.h"
#include "decode_record.h"
#include "file_request.h"
#include "record_walk.h"
#include "round_trip_support.h"
#include "source_image.h"
#include "test_file.h"
#include "type_code.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace {

// A width x height picture of red, green, blue triples, top row first.
struct ColourPicture {
    int width = 0;
    int height = 0;
    Bytes rgb;

    std::uint8_t* At(int x, int y) {
        return &rgb[3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x))];
    }
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* pixel = At(x, y);
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
    }
};

// Channels that differ in every row and column and from each other, with low bits that
// a 16-bit record drops; red, green, blue and white in the four corners.
ColourPicture Pattern(int width, int height) {
    ColourPicture picture{width, height, Bytes(3 * static_cast<std::size_t>(width * height))};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Set(x, y, static_cast<std::uint8_t>(x * 71 + y * 23 + 5),
                        static_cast<std::uint8_t>(x * 13 + y * 59 + x * y * 7),
                        static_cast<std::uint8_t>(200 - x * 29 + y * 17));
        }
    }
    picture.Set(0, 0, 255, 0, 0);
    picture.Set(width - 1, 0, 0, 255, 0);
    picture.Set(0, height - 1, 0, 0, 255);
    picture.Set(width - 1, height - 1, 255, 255, 255);
    return picture;
}

std::string WritePpm(const TempFolder& folder, const std::string& name,
                     const ColourPicture& picture) {
    return WriteRawPnm(folder, name, "P6", picture.width, picture.height, picture.rgb);
}

// Depths 16 and 24 in every order, each plain, reversed, with inverted Y-axis and with
// both, and a planar code.
std::vector<std::uint32_t> ColourTypeCodes() {
    std::vector<std::uint32_t> codes = EveryOrderAndFlag({16, 24});
    codes.push_back(MakeTypeCode(0x0D, 16));
    codes.push_back(MakeTypeCode(0x0D, 24));
    return codes;
}

// What a record of the depth shows for a source channel: at depth 16 its top bits,
// widened by repeating them.
std::uint8_t Shown(std::uint8_t sample, int depth, int bits) {
    if (depth == 24) {
        return sample;
    }
    const int top = sample >> (8 - bits);
    return static_cast<std::uint8_t>(top << (8 - bits) | top >> (2 * bits - 8));
}

// Decodes record `index` (built up when asked) and compares its colours with the
// picture's; reports at most three wrong pixels.
void ExpectRecordShows(const std::string& file, int index, bool buildUp, int depth,
                       ColourPicture picture, const std::string& what) {
    DisplayBitmap bitmap;
    if (!DecodeShown(file, index, buildUp, picture.width, picture.height, depth, what, bitmap)) {
        return;
    }
    int wrong = 0;
    Bytes row(3 * static_cast<std::size_t>(picture.width));
    for (int y = 0; y < picture.height; ++y) {
        BitmapRowToRgb(bitmap, y, row.data());
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* source = picture.At(x, y);
            const Bytes expected = {Shown(source[0], depth, 5), Shown(source[1], depth, 6),
                                    Shown(source[2], depth, 5)};
            const Bytes shown(row.begin() + 3 * x, row.begin() + 3 * x + 3);
            if (shown != expected && ++wrong <= 3) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is "
                              << testing::PrintToString(shown) << ", expected "
                              << testing::PrintToString(expected);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

TEST(ColourRoundTripTest, SinglePicturesInEveryLayout) {
    const std::vector<std::uint32_t> codes = ColourTypeCodes();
    for (const auto& [width, height] : {std::pair{13, 11}, {3, 17}, {1, 1}}) {
        for (const CodingChoice coding : ROUND_TRIP_CODINGS) {
            TempFolder folder;
            const ColourPicture picture = Pattern(width, height);
            ASSERT_EQ(WritePicturesAsFrames({WritePpm(folder, "single.ppm", picture)}, codes, 0,
                                            ContextFor(coding)),
                      Outcome{});
            const std::string file = (folder.Path() / "single.ztr").string();
            const std::optional<std::vector<ListedRecord>> records = ListRecords(file);
            ASSERT_TRUE(records.has_value());
            ASSERT_EQ(records->size(), codes.size());
            for (std::size_t i = 0; i < codes.size(); ++i) {
                const std::string what = Describe(codes[i]) + ", " + std::to_string(width) + " x " +
                                         std::to_string(height) + ", " + CodingChoiceWord(coding);
                // Banded orders become the plain ones, planar is cleared, no palette.
                EXPECT_EQ((*records)[i].header.layout, TypeCodeLayout(codes[i]) & 0x15) << what;
                ExpectRecordShows(file, static_cast<int>(i), false, TypeCodeDepth(codes[i]),
                                  picture, what);
            }
        }
    }
}

// Frames of an animation: each changes the frame before it along one edge or corner, by
// a change of hue at equal luminance, by a change below a 16-bit step, by nothing, and
// at last back to the first picture.
std::vector<ColourPicture> EdgeFrames(int width, int height) {
    std::vector<ColourPicture> frames = {Pattern(width, height)};
    auto next = [&frames](auto change) {
        ColourPicture frame = frames.back();
        change(frame);
        frames.push_back(frame);
    };
    next([](ColourPicture& f) { // left column, red only
        for (int y = 0; y < f.height; ++y) {
            f.At(0, y)[0] ^= 0xA5;
        }
    });
    next([](ColourPicture& f) { // right column, lower half, blue only
        for (int y = f.height / 2; y < f.height; ++y) {
            f.At(f.width - 1, y)[2] ^= 0x5A;
        }
    });
    next([](ColourPicture& f) { // top row, green only
        for (int x = 0; x < f.width; ++x) {
            f.At(x, 0)[1] ^= 0xC3;
        }
    });
    next([](ColourPicture& f) { f.Set(f.width / 2, f.height / 2, 255, 0, 0); });  // the middle
    next([](ColourPicture& f) { f.Set(f.width / 2, f.height / 2, 0, 128, 20); }); // same grey
    next([](ColourPicture& f) { f.At(f.width - 1, f.height - 1)[0] ^= 0x01; });   // below a step
    next([](ColourPicture&) {});                                                  // nothing
    next([](ColourPicture& f) {                                                   // bottom row
        for (int x = 0; x < f.width; ++x) {
            f.At(x, f.height - 1)[1] ^= 0x3C;
        }
    });
    frames.push_back(frames.front());
    return frames;
}

TEST(ColourRoundTripTest, AnimationsTouchingEveryEdgeBuildUpExactly) {
    ExpectAnimationsBuildUp(ColourTypeCodes(), ".ppm", EdgeFrames, WritePpm, ExpectRecordShows);
}

TEST(ColourRoundTripTest, HueChangeAtEqualLuminanceIsADeltaOnlyInColour) {
    ASSERT_EQ(Luminance(255, 0, 0), Luminance(0, 128, 20));
    ColourPicture first = Pattern(9, 7);
    first.Set(3, 2, 255, 0, 0);
    ColourPicture second = first;
    second.Set(3, 2, 0, 128, 20);
    TempFolder folder;
    const std::vector<std::uint32_t> codes = {MakeTypeCode(0x00, 8), MakeTypeCode(0x00, 16),
                                              MakeTypeCode(0x11, 16), MakeTypeCode(0x05, 24)};
    ASSERT_EQ(
        WritePicturesAsFrames({WritePpm(folder, "a.ppm", first), WritePpm(folder, "b.ppm", second)},
                              codes, 25, ConversionContext{}),
        Outcome{});
    const std::optional<std::vector<ListedRecord>> records =
        ListRecords((folder.Path() / "a.ztr").string());
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 2 * codes.size());
    const struct {
        std::size_t code;
        std::uint16_t width, height, dx, dy;
    } cases[] = {
        {0, 0, 0, 0, 0}, // grey: the same level, nothing changed
        {1, 1, 1, 3, 2},
        {2, 1, 1, 3, 4}, // inverted Y-axis: stored row 6 - 2
        {3, 1, 1, 3, 2},
    };
    for (const auto& c : cases) {
        const ListedRecord& delta = (*records)[2 * c.code + 1];
        SCOPED_TRACE(Describe(codes[c.code]));
        EXPECT_NE(delta.header.layout & RECORD_DELTA, 0);
        EXPECT_EQ(delta.header.width, c.width);
        EXPECT_EQ(delta.header.height, c.height);
        EXPECT_EQ(delta.delta.dx, c.dx);
        EXPECT_EQ(delta.delta.dy, c.dy);
        EXPECT_EQ(delta.delta.delay, 25);
    }
}

// A GIF's frames at 16 and 24 bits: each built-up frame is the frame as ImageMagick
// coalesced it (grey, so in all three channels), and each delta record carries the time
// of the frame it completes (GIF delays 10, 20, 30 hundredths; the last record leads back
// to the first frame).
TEST(ColourRoundTripTest, GifFramesBuildUpWithTheirOwnDelays) {
    TempFolder folder;
    const std::string gif = (folder.Path() / "anim.gif").string();
    std::filesystem::copy_file(std::string(ZENTRA_TEST_DATA) + "/im_anim9x7.gif", gif);
    std::vector<ColourPicture> frames;
    for (const int k : {0, 1, 2, 0}) {
        const std::optional<SourceImage> coalesced = LoadImageFile(
            std::string(ZENTRA_TEST_DATA) + "/im_anim9x7_coalesced_" + std::to_string(k) + ".pgm",
            MessageSink{});
        ASSERT_TRUE(coalesced.has_value());
        ColourPicture frame{coalesced->width, coalesced->height, {}};
        for (const std::uint8_t grey : coalesced->pixels) {
            frame.rgb.insert(frame.rgb.end(), {grey, grey, grey});
        }
        frames.push_back(frame);
    }
    const std::vector<std::uint32_t> codes = {MakeTypeCode(0x04, 16), MakeTypeCode(0x11, 24)};
    ASSERT_EQ(RunConversion(writer_test::FileRequest({gif}, codes, true), {}), Outcome{});
    const std::string file = (folder.Path() / "anim.ztr").string();
    const std::optional<std::vector<ListedRecord>> records = ListRecords(file);
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 2 * frames.size());
    const std::uint16_t delays[] = {0, 200, 300, 100};
    for (std::size_t t = 0; t < codes.size(); ++t) {
        for (std::size_t k = 0; k < frames.size(); ++k) {
            const std::size_t index = t * frames.size() + k;
            const std::string what = Describe(codes[t]) + ", frame " + std::to_string(k);
            EXPECT_EQ((*records)[index].delta.delay, delays[k]) << what;
            ExpectRecordShows(file, static_cast<int>(index), true, TypeCodeDepth(codes[t]),
                              frames[k], what);
        }
    }
}

} // namespace
