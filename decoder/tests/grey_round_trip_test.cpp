// Grey records written by the conversion writer decode back to the quantised source
// (without dithering every grey's top bits are its level): depths 2 and 4 in every pixel
// order, with and without reversal and inverted Y-axis, for odd-sized single pictures,
// for pictures of exact levels, for animations whose changes touch every edge, and for a
// 4-bit bitmap, whose colour-table indices and colours come back unchanged.
#include "convert_images.h"
#include "decode_record.h"
#include "round_trip_support.h"
#include "source_image.h"
#include "test_file.h"
#include "type_code.h"
#include "zentra_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// A width x height picture of grey levels, top row first.
struct GreyPicture {
    int width = 0;
    int height = 0;
    Bytes levels;

    std::uint8_t& At(int x, int y) {
        return levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Levels that fall on both sides of every 2-bit and 4-bit step, different in every row
// and column, so that a flipped axis, a swapped field or a shifted band shows.
GreyPicture Pattern(int width, int height, int seed) {
    GreyPicture picture{width, height, Bytes(static_cast<std::size_t>(width * height))};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.At(x, y) = static_cast<std::uint8_t>(x * 71 + y * 23 + x * y * 5 + seed);
        }
    }
    return picture;
}

std::string WritePgm(const TempFolder& folder, const std::string& name,
                     const GreyPicture& picture) {
    return WriteRawPnm(folder, name, "P5", picture.width, picture.height, picture.levels);
}

// Every grey lay-out: depths 2 and 4, four orders, each plain, reversed, with inverted
// Y-axis and with both.
std::vector<std::uint32_t> GreyTypeCodes() {
    return EveryOrderAndFlag({2, 4});
}

// The pixel value of picture column x, picture row top (0 = top) in the bottom-up bitmap:
// depth bits at bit 8 - depth - (x * depth) % 8 of byte (x * depth) / 8.
int ShownValue(const DisplayBitmap& bitmap, int x, int top) {
    const std::size_t row = static_cast<std::size_t>(bitmap.height - 1 - top) * bitmap.stride;
    const int bit = x * bitmap.depth;
    const std::uint8_t byte = (*bitmap.pixels)[row + static_cast<std::size_t>(bit / 8)];
    return (byte >> (8 - bitmap.depth - bit % 8)) & ((1 << bitmap.depth) - 1);
}

// The level a grey is written with at `depth` bits without dithering: its top bits.
int TopBitsLevel(int grey, int depth) {
    return grey >> (8 - depth);
}

// Decodes record `index` (built up when asked) and compares it with the picture
// quantised to `depth` bits; reports at most three wrong pixels.
void ExpectRecordShows(const std::string& file, int index, bool buildUp, int depth,
                       GreyPicture picture, const std::string& what) {
    DisplayBitmap bitmap;
    if (!DecodeShown(file, index, buildUp, picture.width, picture.height, depth, what, bitmap)) {
        return;
    }
    int wrong = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int expected = TopBitsLevel(picture.At(x, y), depth);
            const int shown = ShownValue(bitmap, x, y);
            if (shown != expected && ++wrong <= 3) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << shown
                              << ", expected " << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

TEST(GreyRoundTripTest, SinglePicturesInEveryLayout) {
    const std::vector<std::uint32_t> codes = GreyTypeCodes();
    // Wider than high and higher than wide, neither side a multiple of 2 or 4; and a
    // single pixel.
    for (const auto& [width, height] : {std::pair{13, 11}, {3, 17}, {1, 1}}) {
        for (const CodingChoice coding : ROUND_TRIP_CODINGS) {
            TempFolder folder;
            const GreyPicture picture = Pattern(width, height, 0);
            ASSERT_EQ(WritePicturesAsFrames({WritePgm(folder, "single.pgm", picture)}, codes, 0,
                                            ContextFor(coding)),
                      Outcome{});
            const std::string file = (folder.Path() / "single.ztr").string();
            for (std::size_t i = 0; i < codes.size(); ++i) {
                ExpectRecordShows(file, static_cast<int>(i), false, TypeCodeDepth(codes[i]),
                                  picture,
                                  Describe(codes[i]) + ", " + std::to_string(width) + " x " +
                                      std::to_string(height) + ", " + CodingChoiceWord(coding));
            }
        }
    }
}

// A picture of exact levels k x 255 / (2^depth - 1), as tools write 4- and 16-level greys
// (k x 85, k x 17), converts to exactly those levels in every order, reversal and planar
// lay-out, though some lie nearer the grey of the level above (170 = level 10 at depth 4
// is nearer 176, the grey level 11 is shown with, than 160).
TEST(GreyRoundTripTest, PicturesOfExactLevelsKeepThem) {
    for (const int depth : {2, 4}) {
        const int top = (1 << depth) - 1;
        std::vector<std::uint32_t> codes = EveryOrderAndFlag({static_cast<std::uint8_t>(depth)});
        for (const std::uint32_t code : EveryOrderAndFlag({static_cast<std::uint8_t>(depth)})) {
            codes.push_back(code | LAYOUT_PLANAR);
        }
        // 7 x 5 (17 x 3 at depth 4): every level in every row, shifted from row to row.
        GreyPicture picture{depth == 2 ? 7 : 17, depth == 2 ? 5 : 3, {}};
        picture.levels.resize(static_cast<std::size_t>(picture.width * picture.height));
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                picture.At(x, y) = static_cast<std::uint8_t>((x + 3 * y) % (top + 1) * 255 / top);
            }
        }
        TempFolder folder;
        ASSERT_EQ(WritePicturesAsFrames({WritePgm(folder, "levels.pgm", picture)}, codes, 0,
                                        ContextFor(CodingChoice::RunLength)),
                  Outcome{});
        const std::string file = (folder.Path() / "levels.ztr").string();
        for (std::size_t i = 0; i < codes.size(); ++i) {
            DisplayBitmap bitmap;
            const std::string what = Describe(codes[i]);
            if (!DecodeShown(file, static_cast<int>(i), false, picture.width, picture.height, depth,
                             what, bitmap)) {
                continue;
            }
            int wrong = 0;
            for (int y = 0; y < picture.height; ++y) {
                for (int x = 0; x < picture.width; ++x) {
                    wrong += ShownValue(bitmap, x, y) != (x + 3 * y) % (top + 1);
                }
            }
            EXPECT_EQ(wrong, 0) << what;
        }
    }
}

// Frames of a width x height animation: each changes the frame before it along one
// edge or corner, by grey steps that cross a quantisation step and by steps that do not.
std::vector<GreyPicture> EdgeFrames(int width, int height) {
    std::vector<GreyPicture> frames = {Pattern(width, height, 0)};
    auto next = [&frames](auto change) {
        GreyPicture frame = frames.back();
        change(frame);
        frames.push_back(frame);
    };
    next([](GreyPicture& f) { // left column
        for (int y = 0; y < f.height; ++y) {
            f.At(0, y) ^= 0xA5;
        }
    });
    next([](GreyPicture& f) { // right column, lower half
        for (int y = f.height / 2; y < f.height; ++y) {
            f.At(f.width - 1, y) ^= 0x5A;
        }
    });
    next([](GreyPicture& f) { // top row
        for (int x = 0; x < f.width; ++x) {
            f.At(x, 0) ^= 0xC3;
        }
    });
    next([](GreyPicture& f) { f.At(f.width - 1, f.height - 1) ^= 0xF0; }); // bottom right
    next([](GreyPicture& f) { f.At(0, f.height - 1) ^= 0x01; });           // no quantised change
    next([](GreyPicture&) {});                                             // nothing changed
    next([](GreyPicture& f) { f.At(f.width / 2, f.height / 2) ^= 0x80; }); // the middle
    next([](GreyPicture& f) {                                              // bottom row
        for (int x = 0; x < f.width; ++x) {
            f.At(x, f.height - 1) ^= 0x3C;
        }
    });
    frames.push_back(frames.front()); // back to the first picture
    return frames;
}

TEST(GreyRoundTripTest, AnimationsTouchingEveryEdgeBuildUpExactly) {
    ExpectAnimationsBuildUp(GreyTypeCodes(), ".pgm", EdgeFrames, WritePgm, ExpectRecordShows);
}

TEST(GreyRoundTripTest, FourBitBitmapKeepsItsIndicesAndPalette) {
    const std::string sample =
        std::string(ZENTRA_TEST_DATA) + "/../../data/samples/colours_61x37.bmp";
    const std::optional<SourceImage> source = LoadImageFile(sample, MessageSink{});
    ASSERT_TRUE(source.has_value());
    ASSERT_EQ(source->levels, 16);
    TempFolder folder;
    const std::string copy = (folder.Path() / "colours.bmp").string();
    std::filesystem::copy_file(sample, copy);
    std::vector<std::uint32_t> codes;
    for (const std::uint32_t code : GreyTypeCodes()) {
        if (TypeCodeDepth(code) == 4) {
            codes.push_back(code);
        }
    }
    ASSERT_EQ(WritePicturesAsFrames({copy}, codes, 0, ConversionContext{}), Outcome{});
    const std::string file = (folder.Path() / "colours.ztr").string();
    for (std::size_t i = 0; i < codes.size(); ++i) {
        DisplayBitmap bitmap;
        DecodeRecord(file, static_cast<int>(i), false, bitmap);
        ASSERT_TRUE(bitmap.pixels.has_value()) << Describe(codes[i]);
        int wrong = 0;
        for (int y = 0; y < source->height; ++y) {
            for (int x = 0; x < source->width; ++x) {
                // The reader scales index n to n * 17.
                const int index =
                    source->pixels[static_cast<std::size_t>(y * source->width + x)] / 17;
                wrong += ShownValue(bitmap, x, y) != index ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << Describe(codes[i]);
        for (std::size_t k = 0; k < 16; ++k) {
            EXPECT_EQ(bitmap.colours[k].red, source->recordPalette[3 * k]) << k;
            EXPECT_EQ(bitmap.colours[k].green, source->recordPalette[3 * k + 1]) << k;
            EXPECT_EQ(bitmap.colours[k].blue, source->recordPalette[3 * k + 2]) << k;
        }
    }
}

} // namespace
