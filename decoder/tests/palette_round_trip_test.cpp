// Pictures made only of a palette's colours come back exactly: converted without
// dithering with the palette file, at depths 1, 2, 4 and 8, packed and planar, in every
// order with and without reversal and inverted Y-axis, as single pictures and as
// animations built up frame by frame; every record carries the file's colours in order.
#include "bitmap_rgb.h"
#include "round_trip_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Colours = std::vector<std::uint8_t>; // width x height x 3: red, green, blue

// 2^depth - 1 distinct colours (so that the palette is padded by one entry), at most 40.
Palette PaletteFor(int depth) {
    const int count = std::min((1 << depth) - (depth == 1 ? 0 : 1), 40);
    Palette palette;
    for (int k = 0; k < count; ++k) {
        palette.push_back({static_cast<std::uint8_t>(k * 97 % 256),
                           static_cast<std::uint8_t>(255 - k * 41 % 256),
                           static_cast<std::uint8_t>(k * 13 + (k % 3) * 70)});
    }
    return palette;
}

std::string HexFile(const Palette& palette) {
    std::string text;
    char line[16];
    for (const PaletteColour& c : palette) {
        std::snprintf(line, sizeof line, "#%02X%02X%02X\n", c.red, c.green, c.blue);
        text += line;
    }
    return text;
}

// Pixel (x, y) takes colour (x * 5 + y * 3 + x * y + shift) mod the palette's size.
Colours PictureOf(const Palette& palette, int width, int height, int shift) {
    Colours rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PaletteColour& c =
                palette[static_cast<std::size_t>(x * 5 + y * 3 + x * y + shift) % palette.size()];
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
        }
    }
    return rgb;
}

// Every order with every flag, packed and planar (planar at depths 1 and 8 is written
// packed).
std::vector<std::uint32_t> PackedAndPlanar(int depth) {
    std::vector<std::uint32_t> codes = EveryOrderAndFlag({static_cast<std::uint8_t>(depth)});
    const std::size_t packed = codes.size();
    for (std::size_t i = 0; i < packed; ++i) {
        codes.push_back(codes[i] | LAYOUT_PLANAR);
    }
    return codes;
}

void ExpectColours(const std::string& file, int index, bool buildUp, int depth,
                   const Colours& picture, int width, int height, const Palette& palette,
                   const std::string& what) {
    DisplayBitmap bitmap;
    if (!DecodeShown(file, index, buildUp, width, height, depth, what, bitmap)) {
        return;
    }
    for (std::size_t k = 0; k < palette.size(); ++k) {
        const ColourEntry& entry = bitmap.colours[k];
        EXPECT_EQ((PaletteColour{entry.red, entry.green, entry.blue}), palette[k])
            << what << ", entry " << k;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        BitmapRowToRgb(bitmap, y, row.data());
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
            const bool same = std::equal(row.begin() + 3 * x, row.begin() + 3 * x + 3,
                                         picture.begin() + static_cast<std::ptrdiff_t>(at));
            if (!same && ++wrong <= 3) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") differs";
            }
        }
    }
}

TEST(PaletteRoundTrip, PicturesOfThePalettesColoursComeBackExactly) {
    for (const int depth : {1, 2, 4, 8}) {
        const Palette palette = PaletteFor(depth);
        const std::vector<std::uint32_t> codes = PackedAndPlanar(depth);
        for (const auto& [width, height] : {std::pair{13, 11}, {3, 17}}) {
            TempFolder folder;
            const std::string paletteFile = folder.Write("colours.txt", [&] {
                const std::string text = HexFile(palette);
                return Bytes(text.begin(), text.end());
            }());
            const Colours picture = PictureOf(palette, width, height, 0);
            const std::string source =
                WriteRawPnm(folder, "picture.ppm", "P6", width, height, picture);
            ConversionContext context;
            context.tone.palette = paletteFile;
            ASSERT_EQ(WritePicturesAsFrames({source}, codes, 0, context), Outcome{});
            const std::string file = (folder.Path() / "picture.ztr").string();
            for (std::size_t t = 0; t < codes.size(); ++t) {
                ExpectColours(file, static_cast<int>(t), false, depth, picture, width, height,
                              palette,
                              Describe(codes[t]) + ", " + std::to_string(width) + " x " +
                                  std::to_string(height));
            }
        }
    }
}

// Frames that change at the right edge, then at the bottom, then not at all, then in the
// middle: the delta rectangles of planar records are aligned as at depth 1.
TEST(PaletteRoundTrip, AnimationsBuildUpInThePalettesColours) {
    for (const int depth : {2, 4, 8}) {
        const Palette palette = PaletteFor(depth);
        TempFolder paletteFolder;
        const std::string text = HexFile(palette);
        const std::string paletteFile =
            paletteFolder.Write("colours.txt", Bytes(text.begin(), text.end()));
        const std::vector<std::uint32_t> codes = PackedAndPlanar(depth);
        auto makeFrames = [&](int width, int height) {
            const Colours first = PictureOf(palette, width, height, 0);
            Colours right = first;
            Colours bottom = first;
            const Colours other = PictureOf(palette, width, height, 1);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
                    const bool atRight = x >= width - 2 && y >= 2 && y < 7;
                    const bool atBottom = atRight || (y == height - 1 && x < 5);
                    for (int c = 0; c < 3; ++c) {
                        right[at + c] = atRight ? other[at + c] : first[at + c];
                        bottom[at + c] = atBottom ? other[at + c] : first[at + c];
                    }
                }
            }
            Colours middle = bottom;
            const std::size_t centre =
                (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
            std::copy_n(other.begin() + static_cast<std::ptrdiff_t>(centre) + 3, 3,
                        middle.begin() + static_cast<std::ptrdiff_t>(centre));
            return std::vector<Colours>{first, right, bottom, bottom, middle};
        };
        for (const auto& [width, height] : {std::pair{13, 11}, {3, 17}}) {
            const auto frames = makeFrames(width, height);
            TempFolder folder;
            std::vector<std::string> paths;
            for (std::size_t k = 0; k < frames.size(); ++k) {
                paths.push_back(WriteRawPnm(folder, "frame" + std::to_string(k) + ".ppm", "P6",
                                            width, height, frames[k]));
            }
            ConversionContext context;
            context.tone.palette = paletteFile;
            ASSERT_EQ(WritePicturesAsFrames(paths, codes, 40, context), Outcome{});
            const std::string file = (folder.Path() / "frame0.ztr").string();
            const std::size_t records = frames.size();
            for (std::size_t t = 0; t < codes.size(); ++t) {
                for (std::size_t k = 0; k < frames.size(); ++k) {
                    ExpectColours(file, static_cast<int>(t * records + k), true, depth, frames[k],
                                  width, height, palette,
                                  Describe(codes[t]) + ", " + std::to_string(width) + " x " +
                                      std::to_string(height) + ", frame " + std::to_string(k));
                }
            }
        }
    }
}

} // namespace
