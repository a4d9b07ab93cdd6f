// Colours beside the grey levels: what each kind of source gives when asked for its
// colours (true colour, alpha over either background, palettes, grey), that the tone
// steps move the colours exactly as the grey levels, and per-channel dithering for
// 16-bit records.
#include "colour_to_grey.h"
#include "readers_test_support.h"
#include "source_image.h"
#include "tone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

using readers_test::TestDataPath;

namespace {

using Rgb = std::vector<std::uint8_t>;

// seed_colour7x5.ppm (see tests/data/README): pixel i is (R, G, B) of x = i % 7, y = i / 7.
Rgb SeedColours() {
    Rgb rgb;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            rgb.push_back(static_cast<std::uint8_t>((x * 40 + y * 13) % 256));
            rgb.push_back(static_cast<std::uint8_t>((y * 50 + x * 7) % 256));
            rgb.push_back(static_cast<std::uint8_t>((x * y * 17 + 30) % 256));
        }
    }
    return rgb;
}

// The same colours with the alpha of pil_colour7x5_rgba.png, over the background.
Rgb SeedOver(std::uint8_t background) {
    Rgb rgb = SeedColours();
    for (int i = 0; i < 35; ++i) {
        int alpha = ((i % 7) * 37 + (i / 7) * 11) % 256;
        alpha = i == 0 ? 0 : (i == 1 ? 255 : alpha);
        for (int c = 0; c < 3; ++c) {
            std::uint8_t& sample = rgb[static_cast<std::size_t>(3 * i + c)];
            sample = static_cast<std::uint8_t>((sample * alpha + background * (255 - alpha) + 127) /
                                               255);
        }
    }
    return rgb;
}

// Every grey level of a source repeated in all three channels.
Rgb GreyInAllThree(const std::vector<std::uint8_t>& grey) {
    Rgb rgb;
    for (const std::uint8_t level : grey) {
        rgb.insert(rgb.end(), {level, level, level});
    }
    return rgb;
}

std::optional<SourceImage> ReadWithColours(const std::string& file, std::uint8_t background) {
    SourceReadOptions options;
    options.colours = true;
    options.background = background;
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(TestDataPath(file), options, MessageSink{});
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}

TEST(ColourSources, EverySourceGivesItsColours) {
    const struct {
        const char* file;
        std::uint8_t background;
        Rgb expected; // empty: the grey levels in all three channels
    } cases[] = {
        {"seed_colour7x5.ppm", 255, SeedColours()},
        {"im_colour7x5_raw.ppm", 255, SeedColours()},
        {"im_colour7x5_rgb.png", 255, SeedColours()},
        {"im_colour7x5_24.bmp", 255, SeedColours()},
        {"netpbm_colour7x5.tga", 255, SeedColours()},
        {"pil_colour7x5_palette.png", 255, SeedColours()},
        {"pil_colour7x5_rgba.png", 255, SeedOver(255)},
        {"pil_colour7x5_rgba.png", 0, SeedOver(0)},
        {"seed_grey7x5.pgm", 255, {}},
        {"netpbm_bits10x3_raw.pbm", 255, {}},
        {"im_grey7x5.png", 255, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " over " + std::to_string(c.background));
        const std::optional<SourceImage> image = ReadWithColours(c.file, c.background);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->rgb, c.expected.empty() ? GreyInAllThree(image->pixels) : c.expected);
    }
}

TEST(ColourSources, BitmapsGiveTheirTableColoursAndOnlyWhenAsked) {
    // A 4-bit bitmap: every pixel's colour is its table entry (index = byte / 17).
    for (const char* file :
         {"../../data/samples/colours_61x37.bmp", "netpbm_bits10x3.bmp", "im_grey7x5_bmp3.bmp"}) {
        SCOPED_TRACE(file);
        const std::optional<SourceImage> image = ReadWithColours(file, 255);
        ASSERT_TRUE(image.has_value());
        ASSERT_TRUE(image->indexed);
        ASSERT_EQ(image->rgb.size(), 3 * image->pixels.size());
        const int step = 255 / (image->levels - 1);
        for (std::size_t i = 0; i < image->pixels.size(); ++i) {
            const std::size_t entry = 3 * static_cast<std::size_t>(image->pixels[i] / step);
            for (std::size_t c = 0; c < 3; ++c) {
                ASSERT_EQ(image->rgb[3 * i + c], image->colourTable[entry + c]) << i;
            }
        }
        const std::optional<SourceImage> plain = LoadImageFile(TestDataPath(file), MessageSink{});
        ASSERT_TRUE(plain.has_value());
        EXPECT_TRUE(plain->rgb.empty());
        EXPECT_EQ(plain->pixels, image->pixels);
    }
}

// A colour that follows the grey level in each channel differently, so that a colour
// moved anywhere else than its grey level, or with its channels turned round, shows.
// It commutes with inversion (255 - v is v XOR 0xFF).
Rgb Follow(const std::vector<std::uint8_t>& grey) {
    Rgb rgb;
    for (const std::uint8_t v : grey) {
        rgb.insert(rgb.end(),
                   {v, static_cast<std::uint8_t>(v ^ 0x55), static_cast<std::uint8_t>(255 - v)});
    }
    return rgb;
}

TEST(ColourSources, ToneStepsMoveTheColoursWithTheGreyLevels) {
    std::vector<std::uint8_t> grey(5 * 3);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        grey[i] = static_cast<std::uint8_t>(i * 17 + 3);
    }
    const auto with = [](auto change) {
        ToneOptions options;
        change(options);
        return options;
    };
    const ToneOptions cases[] = {
        with([](ToneOptions& o) { o.rotate = 90; }),
        with([](ToneOptions& o) { o.rotate = 180; }),
        with([](ToneOptions& o) { o.rotate = 270; }),
        with([](ToneOptions& o) { o.mirrorX = true; }),
        with([](ToneOptions& o) { o.mirrorY = true; }),
        with([](ToneOptions& o) { o.invert = true; }),
        with([](ToneOptions& o) {
            o.rotate = 90;
            o.mirrorX = true;
            o.invert = true;
        }),
        // Placed in a larger target without resampling: only the margins are new.
        with([](ToneOptions& o) {
            o.resizeWidth = 9;
            o.resizeHeight = 3;
            o.background = 0;
        }),
    };
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE("case " + std::to_string(k));
        SourceImage image;
        image.width = 5;
        image.height = 3;
        image.levels = 256;
        image.pixels = grey;
        image.rgb = Follow(grey);
        ASSERT_TRUE(ShapePicture(image, cases[k]));
        ASSERT_EQ(image.rgb.size(), 3 * image.pixels.size());
        Rgb expected = Follow(image.pixels);
        if (cases[k].resizeWidth > 0) {
            for (std::size_t i = 0; i < image.pixels.size(); ++i) {
                const bool margin = i % 9 < 2 || i % 9 > 6;
                for (std::size_t c = 0; c < 3 && margin; ++c) {
                    expected[3 * i + c] = 0;
                }
            }
        }
        EXPECT_EQ(image.rgb, expected);
    }
}

TEST(ColourSources, ResamplingKeepsAFlatColour) {
    SourceImage image;
    image.width = 7;
    image.height = 5;
    image.levels = 256;
    image.pixels.assign(35, 90);
    for (int i = 0; i < 35; ++i) {
        image.rgb.insert(image.rgb.end(), {200, 40, 120});
    }
    ToneOptions options;
    options.resizeWidth = 3;
    options.resizeHeight = 2;
    options.fit = Fit::Stretch;
    ASSERT_TRUE(ShapePicture(image, options));
    ASSERT_EQ(image.rgb.size(), 18u);
    for (std::size_t i = 0; i < 18; i += 3) {
        EXPECT_EQ(Rgb(image.rgb.begin() + i, image.rgb.begin() + i + 3), (Rgb{200, 40, 120}));
    }
}

// A flat colour between levels, dithered per channel to 32/64/32 levels: every sample
// is a level of its channel (whose top bits are the level), and the mean stays near the
// colour. Without dithering, and at depth 24, the colours are left alone.
TEST(ColourSources, DitheringPerChannelAtDepth16) {
    constexpr int W = 16;
    constexpr int H = 16;
    const std::uint8_t colour[3] = {100, 150, 37};
    const int maxLevels[3] = {31, 63, 31};
    for (const Dither dither :
         {Dither::FloydSteinberg, Dither::Atkinson, Dither::Bayer4, Dither::Bayer8, Dither::None}) {
        for (const int depth : {16, 24}) {
            SCOPED_TRACE(std::string(DitherName(dither)) + " depth " + std::to_string(depth));
            Rgb rgb;
            for (int i = 0; i < W * H; ++i) {
                rgb.insert(rgb.end(), colour, colour + 3);
            }
            const Rgb before = rgb;
            ASSERT_TRUE(QuantiseColours(rgb.data(), W, H, depth, dither));
            if (depth == 24 || dither == Dither::None) {
                EXPECT_EQ(rgb, before);
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                long sum = 0;
                std::set<int> levels;
                for (int i = 0; i < W * H; ++i) {
                    const int v = rgb[static_cast<std::size_t>(3 * i + c)];
                    const int level = v >> (c == 1 ? 2 : 3);
                    ASSERT_EQ(v, level * 255 / maxLevels[c]) << "channel " << c;
                    sum += v;
                    levels.insert(level);
                }
                // Within one level step of the colour.
                EXPECT_LE(std::abs(sum / (W * H) - colour[c]), 255 / maxLevels[c]) << c;
                // Atkinson keeps part of its error, so a colour between levels may land
                // on one level; the others mix the two levels around it.
                if (dither != Dither::Atkinson) {
                    EXPECT_EQ(levels.size(), 2u) << "channel " << c;
                }
            }
        }
    }
}

} // namespace
