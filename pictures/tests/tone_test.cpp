// Tone: geometry on odd-sized asymmetric pictures worked out by hand, resizing in linear
// light, Otsu's threshold, and what each quantiser makes of flat greys.
#include "tone.h"

#include "tone_depths.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

SourceImage Picture(int width, int height, std::vector<std::uint8_t> pixels) {
    SourceImage image;
    image.width = width;
    image.height = height;
    image.levels = 256;
    image.pixels = std::move(pixels);
    return image;
}

struct ShapeCase {
    const char* what;
    ToneOptions options;
    int width;
    int height;
    std::vector<std::uint8_t> pixels;
};

ToneOptions Rotated(int degrees) {
    ToneOptions options;
    options.rotate = degrees;
    return options;
}

ToneOptions Mirrored(bool x, bool y) {
    ToneOptions options;
    options.mirrorX = x;
    options.mirrorY = y;
    return options;
}

TEST(Tone, RotatesAndMirrorsByHand) {
    // 3 x 2:  1 2 3
    //         4 5 6
    const ShapeCase cases[] = {
        {"90 clockwise", Rotated(90), 2, 3, {4, 1, 5, 2, 6, 3}},
        {"180", Rotated(180), 3, 2, {6, 5, 4, 3, 2, 1}},
        {"270 clockwise", Rotated(270), 2, 3, {3, 6, 2, 5, 1, 4}},
        {"mirror x", Mirrored(true, false), 3, 2, {3, 2, 1, 6, 5, 4}},
        {"mirror y", Mirrored(false, true), 3, 2, {4, 5, 6, 1, 2, 3}},
        {"90 then mirror x",
         [] {
             ToneOptions o = Rotated(90);
             o.mirrorX = true;
             return o;
         }(),
         2,
         3,
         {1, 4, 2, 5, 3, 6}},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.what);
        SourceImage image = Picture(3, 2, {1, 2, 3, 4, 5, 6});
        ASSERT_TRUE(ShapePicture(image, c.options));
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

ToneOptions Resized(int width, int height, Fit fit, std::uint8_t background = 255) {
    ToneOptions options;
    options.resizeWidth = width;
    options.resizeHeight = height;
    options.fit = fit;
    options.background = background;
    return options;
}

TEST(Tone, ResizesAndFits) {
    // A 4 x 2 picture, left half 40, right half 200.
    const std::vector<std::uint8_t> halves = {40, 40, 200, 200, 40, 40, 200, 200};
    struct FitCase {
        const char* what;
        ToneOptions options;
        std::vector<std::uint8_t> pixels;
    };
    const FitCase cases[] = {
        // Contain: 4 x 2 into 4 x 4 keeps 4 x 2, centred, background rows above and below.
        {"contain",
         Resized(4, 4, Fit::Contain),
         {255, 255, 255, 255, 40, 40, 200, 200, 40, 40, 200, 200, 255, 255, 255, 255}},
        {"contain black",
         Resized(4, 4, Fit::Contain, 0),
         {0, 0, 0, 0, 40, 40, 200, 200, 40, 40, 200, 200, 0, 0, 0, 0}},
        // Cover: 4 x 2 onto 2 x 2 is 4 x 2 with a column cut on each side.
        {"cover", Resized(2, 2, Fit::Cover), {40, 200, 40, 200}},
        // Stretch: the same size is only placed; 4 x 2 onto 4 x 3 resamples.
        {"stretch", Resized(4, 2, Fit::Stretch), halves},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.what);
        SourceImage image = Picture(4, 2, halves);
        ASSERT_TRUE(ShapePicture(image, c.options));
        EXPECT_EQ(image.width, c.options.resizeWidth);
        EXPECT_EQ(image.height, c.options.resizeHeight);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

TEST(Tone, ResizesInLinearLight) {
    // A flat picture stays flat at any size and fit.
    for (const Fit fit : {Fit::Contain, Fit::Cover, Fit::Stretch}) {
        SourceImage flat = Picture(5, 3, std::vector<std::uint8_t>(15, 90));
        ASSERT_TRUE(ShapePicture(flat, Resized(9, 2, fit, 90)));
        EXPECT_EQ(flat.pixels, std::vector<std::uint8_t>(18, 90)) << FitName(fit);
    }
    // Black and white halved into one pixel: half the light is sRGB 188 (linear 0.5),
    // not the 128 that averaging the coded values would give.
    SourceImage image = Picture(2, 1, {0, 255});
    ASSERT_TRUE(ShapePicture(image, Resized(1, 1, Fit::Stretch)));
    ASSERT_EQ(image.pixels.size(), 1u);
    EXPECT_NEAR(image.pixels[0], 188, 1);
}

// Records of depth 1 are resized by the area each new pixel covers, on the coded greys,
// rounded down: a stroke keeps the darkness of its share, so one pixel of black halved is
// 127, dark at the default threshold (in light it would be 188). Worked out by hand.
TEST(Tone, DepthOneResizesByAreaOfCodedGreys) {
    struct AreaCase {
        const char* what;
        int width;
        int height;
        std::vector<std::uint8_t> pixels;
        int newWidth;
        int newHeight;
        std::vector<std::uint8_t> resized;
    };
    const AreaCase cases[] = {
        {"one-pixel strokes halved",
         6,
         2,
         {0, 255, 255, 255, 0, 255, 0, 255, 255, 255, 0, 255},
         3,
         1,
         {127, 255, 127}},
        {"two-pixel strokes at a third",
         9,
         1,
         {0, 0, 255, 255, 255, 255, 255, 0, 0},
         3,
         1,
         {85, 255, 85}},
        // Each new pixel covers two and a half old ones.
        {"five to two", 5, 1, {0, 0, 255, 255, 255}, 2, 1, {51, 255}},
        // Rows 0, 255, 255 into two: (2 * 0 + 255) / 3 and (255 + 2 * 255) / 3.
        {"three rows to two", 1, 3, {0, 255, 255}, 1, 2, {85, 255}},
        // Enlarged: a new pixel within an old one repeats it; the middle one straddles both.
        {"two to five", 2, 1, {0, 255}, 5, 1, {0, 0, 127, 255, 255}},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.what);
        SourceImage image = Picture(c.width, c.height, c.pixels);
        PictureArea area;
        ASSERT_TRUE(ShapePicture(image, Resized(c.newWidth, c.newHeight, Fit::Stretch), 1, &area));
        EXPECT_EQ(image.pixels, c.resized);
        SourceImage light = Picture(c.width, c.height, c.pixels);
        ASSERT_TRUE(ShapePicture(light, Resized(c.newWidth, c.newHeight, Fit::Stretch), 8, &area));
        EXPECT_NE(light.pixels, c.resized) << "records deeper than 1 bit resize in light";
    }
}

// The area a fit leaves to the picture: inside a contain fit's margins, all of a cover or
// stretch fit and of a picture that is not resized. Otsu's threshold on it ignores the
// margins.
TEST(Tone, ThePicturesAreaAndItsThreshold) {
    // 5 x 2: a photographed whiteboard, paper 180 with two pixels of ink 110.
    const std::vector<std::uint8_t> paper = {180, 110, 180, 180, 180, 180, 180, 180, 110, 180};
    const struct {
        const char* what;
        ToneOptions options;
        PictureArea area;
    } cases[] = {
        {"no resize", ToneOptions{}, {0, 0, 5, 2}},
        {"contain, margins above and below", Resized(5, 6, Fit::Contain), {0, 2, 5, 2}},
        {"contain, margins left and right", Resized(41, 2, Fit::Contain), {18, 0, 5, 2}},
        {"cover", Resized(2, 2, Fit::Cover), {0, 0, 2, 2}},
        {"stretch", Resized(7, 3, Fit::Stretch), {0, 0, 7, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SourceImage image = Picture(5, 2, paper);
        PictureArea area;
        ASSERT_TRUE(ShapePicture(image, c.options, 1, &area));
        EXPECT_EQ(area.x, c.area.x);
        EXPECT_EQ(area.y, c.area.y);
        EXPECT_EQ(area.width, c.area.width);
        EXPECT_EQ(area.height, c.area.height);
    }
    // Into a wide white panel: over all pixels the white margins split from the rest and the
    // whole picture would go black; its own pixels split the ink from the paper.
    SourceImage image = Picture(5, 2, paper);
    PictureArea area;
    ASSERT_TRUE(ShapePicture(image, Resized(41, 2, Fit::Contain), 1, &area));
    EXPECT_GT(OtsuThreshold(image.pixels.data(), image.pixels.size()), 180);
    const int threshold = OtsuThreshold(image, area);
    EXPECT_GT(threshold, 110);
    EXPECT_LE(threshold, 180);
}

TEST(Tone, InvertsAfterShaping) {
    SourceImage image = Picture(3, 1, {0, 100, 255});
    ToneOptions options = Mirrored(true, false);
    options.invert = true;
    ASSERT_TRUE(ShapePicture(image, options));
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0, 155, 255}));
}

TEST(Tone, IndexedBitmapsBecomeLuminanceOnlyWhenAsked) {
    SourceImage image = Picture(2, 1, {0, 255});
    image.levels = 2;
    image.indexed = true;
    image.colourTable[0] = 255; // index 0 red, index 1 blue
    image.colourTable[5] = 255;
    image.recordPalette = image.colourTable;
    SourceImage kept = image;
    ASSERT_TRUE(ShapePicture(kept, ToneOptions{}));
    EXPECT_EQ(kept.pixels, image.pixels);
    EXPECT_EQ(kept.recordPalette, image.recordPalette);

    ToneOptions luminance;
    luminance.source = ToneSource::Luminance;
    ASSERT_TRUE(ShapePicture(image, luminance));
    // (77 * 255 + 128) >> 8 = 77, (29 * 255 + 128) >> 8 = 29.
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{77, 29}));
    EXPECT_EQ(image.recordPalette, (std::array<std::uint8_t, PALETTE_BYTES>{}));
}

TEST(Tone, OtsuSplitsTwoPeaks) {
    std::vector<std::uint8_t> pixels(300, 30);
    std::fill(pixels.begin() + 100, pixels.end(), 220);
    pixels[0] = 34; // a little spread on each side
    pixels[299] = 210;
    const int threshold = OtsuThreshold(pixels.data(), pixels.size());
    EXPECT_GT(threshold, 34);
    EXPECT_LE(threshold, 210);
    // A picture of one grey has no split: the default stays.
    const std::vector<std::uint8_t> flat(50, 90);
    EXPECT_EQ(OtsuThreshold(flat.data(), flat.size()), DEFAULT_THRESHOLD);
}

double LightShare(const std::vector<std::uint8_t>& pixels) {
    const auto light = std::count_if(pixels.begin(), pixels.end(), [](int v) { return v >= 128; });
    return static_cast<double>(light) / static_cast<double>(pixels.size());
}

TEST(Tone, FlatGreysDitherToTheirShareOfLight) {
    struct DensityCase {
        Dither dither;
        std::uint8_t grey;
        double share;
    };
    const DensityCase cases[] = {
        {Dither::FloydSteinberg, 64, 0.25},  {Dither::Bayer8, 64, 0.25},
        {Dither::Bayer4, 64, 0.25},          {Dither::Atkinson, 128, 0.5},
        {Dither::FloydSteinberg, 191, 0.75}, {Dither::Bayer8, 191, 0.75},
    };
    for (const DensityCase& c : cases) {
        SCOPED_TRACE(std::string(DitherName(c.dither)) + " at " + std::to_string(c.grey));
        std::vector<std::uint8_t> pixels(67 * 61, c.grey);
        QuantisePicture(pixels.data(), 67, 61, 1, DEFAULT_THRESHOLD, c.dither);
        for (const std::uint8_t v : pixels) {
            ASSERT_TRUE(v == 0 || v == 255);
        }
        EXPECT_NEAR(LightShare(pixels), c.share, 0.02);
    }
}

TEST(Tone, Bayer8RepeatsEveryEightPixels) {
    // At grey 72, 18 of each 64 cells are light: more than the 16 of a 4-periodic pattern.
    const int size = 24;
    std::vector<std::uint8_t> pixels(size * size, 72);
    QuantisePicture(pixels.data(), size, size, 1, DEFAULT_THRESHOLD, Dither::Bayer8);
    bool period4 = true;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t v = pixels[y * size + x];
            EXPECT_EQ(v, pixels[(y % 8) * size + x % 8]);
            if (v != pixels[(y % 4) * size + x % 4]) {
                period4 = false;
            }
        }
    }
    EXPECT_FALSE(period4);
    const auto light = std::count(pixels.begin(), pixels.begin() + 8, 255) +
                       std::count(pixels.begin() + size, pixels.begin() + size + 8, 255);
    EXPECT_GT(light, 0);
    EXPECT_NEAR(LightShare(pixels), 18.0 / 64.0, 1e-9);
}

TEST(Tone, Bayer4MatrixByHand) {
    // Matrix rows 0 8 2 10 / 12 4 14 6 / 3 11 1 9 / 15 7 13 5. A cell of value m is light
    // when grey / 255 + (m + 0.5) / 16 >= 1: at grey 70 (0.2745) that is m >= 12.
    std::vector<std::uint8_t> block(16, 70);
    QuantisePicture(block.data(), 4, 4, 1, DEFAULT_THRESHOLD, Dither::Bayer4);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 255, 0, 255, 0, //
                                                0, 0, 0, 0, 255, 0, 255, 0};
    EXPECT_EQ(block, expected);
}

TEST(Tone, ThresholdMovesTheDepthOneDecision) {
    struct ThresholdCase {
        int threshold;
        std::uint8_t grey;
        bool light; // after packing: byte >= 128
    };
    const ThresholdCase cases[] = {
        {128, 127, false}, {128, 128, true},  {100, 99, false}, {100, 100, true},
        {0, 0, true},      {255, 254, false}, {255, 255, true},
    };
    for (const ThresholdCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.threshold) + " / " + std::to_string(c.grey));
        std::uint8_t pixel = c.grey;
        QuantisePicture(&pixel, 1, 1, 1, c.threshold, Dither::None);
        EXPECT_EQ(pixel >= 128, c.light);
    }
    // Deeper records keep their levels without dithering.
    std::uint8_t grey = 77;
    QuantisePicture(&grey, 1, 1, 8, 100, Dither::None);
    EXPECT_EQ(grey, 77);
}

// Records of 2 and 4 bits are shown with the viewer's grey table, not with evenly spaced
// greys: dithered, a gradient must keep its mean brightness as shown. Every stored value is
// a shown grey, so the packer's top bits give its level.
TEST(Tone, QuantisedGreysShowTheSourcesBrightness) {
    const std::vector<int> shown2 = {0, 64, 128, 255};
    const std::vector<int> shown4 = {0,   16,  32,  48,  64,  80,  96,  112,
                                     128, 144, 160, 176, 192, 208, 224, 255};
    for (const int depth : {2, 4}) {
        const std::vector<int>& shown = depth == 2 ? shown2 : shown4;
        for (const Dither dither :
             {Dither::FloydSteinberg, Dither::Atkinson, Dither::Bayer4, Dither::Bayer8}) {
            SCOPED_TRACE(std::to_string(depth) + " " + DitherName(dither));
            std::vector<std::uint8_t> ramp(53 * 9);
            for (std::size_t i = 0; i < ramp.size(); ++i) {
                ramp[i] = static_cast<std::uint8_t>((i % 53) * 255 / 52);
            }
            const double mean = std::accumulate(ramp.begin(), ramp.end(), 0.0) / ramp.size();
            QuantisePicture(ramp.data(), 53, 9, depth, DEFAULT_THRESHOLD, dither);
            double shownSum = 0;
            for (const std::uint8_t v : ramp) {
                const int level = v >> (8 - depth);
                ASSERT_EQ(v, shown[static_cast<std::size_t>(level)]) << int(v);
                shownSum += shown[static_cast<std::size_t>(level)];
            }
            EXPECT_NEAR(shownSum / ramp.size(), mean, dither == Dither::Atkinson ? 3.0 : 1.5);
        }
    }
    // Without dithering the greys stay as they are: the packer takes their top bits, so a
    // shown grey and every exact level k x 255 / (2^depth - 1) keep their level.
    for (const int depth : {2, 4, 8}) {
        std::vector<std::uint8_t> greys(256);
        std::iota(greys.begin(), greys.end(), std::uint8_t{0});
        const std::vector<std::uint8_t> before = greys;
        QuantisePicture(greys.data(), 16, 16, depth, DEFAULT_THRESHOLD, Dither::None);
        EXPECT_EQ(greys, before) << depth;
    }
}

// The threshold and dithering change a picture exactly at the depths where tone_depths.h
// says they act, which ztr's warnings about idle options rely on.
TEST(Tone, OptionsActAtTheDepthsTheRulesName) {
    std::vector<std::uint8_t> ramp(37 * 5);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::uint8_t>(i * 7 % 256);
    }
    for (const int depth : {1, 2, 4, 8}) {
        SCOPED_TRACE(depth);
        std::vector<std::uint8_t> plain = ramp;
        QuantisePicture(plain.data(), 37, 5, depth, DEFAULT_THRESHOLD, Dither::None);
        std::vector<std::uint8_t> moved = ramp;
        QuantisePicture(moved.data(), 37, 5, depth, 91, Dither::None);
        EXPECT_EQ(moved != plain, ThresholdActsAt(static_cast<unsigned>(depth)));
        for (const DitherMethod& method : DITHER_METHODS) {
            std::vector<std::uint8_t> dithered = ramp;
            QuantisePicture(dithered.data(), 37, 5, depth, DEFAULT_THRESHOLD, method.dither);
            EXPECT_EQ(dithered != plain, method.dither != Dither::None &&
                                             DitherActsAt(static_cast<unsigned>(depth), false))
                << method.word;
        }
    }
    for (const int depth : {16, 24}) {
        std::vector<std::uint8_t> rgb(3 * ramp.size());
        for (std::size_t i = 0; i < rgb.size(); ++i) {
            rgb[i] = ramp[i % ramp.size()];
        }
        const std::vector<std::uint8_t> before = rgb;
        ASSERT_TRUE(QuantiseColours(rgb.data(), 37, 5, depth, Dither::Atkinson));
        EXPECT_EQ(rgb != before, DitherActsAt(static_cast<unsigned>(depth), false)) << depth;
    }
}

TEST(Tone, OptionWords) {
    // The words that settings files and scripts already hold keep their meaning.
    for (const char* word : {"none", "floyd-steinberg", "atkinson", "bayer4", "bayer8"}) {
        Dither dither = Dither::None;
        ASSERT_TRUE(ParseDither(word, dither)) << word;
        EXPECT_STREQ(DitherName(dither), word);
    }
    // Every method of the table parses to itself, under a word and a label of its own.
    std::set<std::string> words;
    std::set<std::string> labels;
    for (const DitherMethod& method : DITHER_METHODS) {
        Dither dither = Dither::None;
        ASSERT_TRUE(ParseDither(method.word, dither)) << method.word;
        EXPECT_EQ(dither, method.dither) << method.word;
        EXPECT_TRUE(words.insert(method.word).second) << method.word;
        EXPECT_TRUE(labels.insert(method.label).second) << method.label;
    }
    for (const char* word : {"contain", "cover", "stretch"}) {
        Fit fit = Fit::Contain;
        ASSERT_TRUE(ParseFit(word, fit)) << word;
        EXPECT_STREQ(FitName(fit), word);
    }
    Dither dither = Dither::None;
    EXPECT_FALSE(ParseDither("Bayer8", dither));
    Fit fit = Fit::Contain;
    EXPECT_FALSE(ParseFit("", fit));
}

} // namespace
