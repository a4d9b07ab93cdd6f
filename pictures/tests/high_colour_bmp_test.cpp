// Bitmaps of 16, 24 and 32 bits per pixel: how each stored value becomes a colour (5-5-5,
// bit fields of any width, alpha and the bitmaps whose alpha is all 0), both row orders,
// where the pixels start, and every refusal with its message.
#include "colour_bitmaps.h"
#include "colour_to_grey.h"
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Rgb = std::vector<std::uint8_t>;

std::optional<SourceImage> ReadColours(const std::vector<std::uint8_t>& file,
                                       std::uint8_t background, MessageRecorder& recorder) {
    SourceReadOptions options;
    options.colours = true;
    options.background = background;
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFramesFromMemory(file, "picture.bmp", options, recorder.Sink());
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}

// Colours of 32-bit values (alpha, red, green, blue from the top byte down) over a
// background, as the engine composes every colour source.
Rgb Over(const std::vector<std::uint32_t>& argb, std::uint8_t background) {
    Rgb rgb;
    for (const std::uint32_t v : argb) {
        const auto alpha = static_cast<std::uint8_t>(v >> 24);
        for (const int shift : {16, 8, 0}) {
            rgb.push_back(OverBackground(static_cast<std::uint8_t>(v >> shift), alpha, background));
        }
    }
    return rgb;
}

ColourBmp Form(std::uint16_t bitCount, std::uint32_t infoSize = 40, std::uint32_t compression = 0,
               std::array<std::uint32_t, 4> masks = {}) {
    ColourBmp form;
    form.bitCount = bitCount;
    form.infoSize = infoSize;
    form.compression = compression;
    form.masks = masks;
    return form;
}

struct ColourCase {
    const char* what;
    ColourBmp form;
    std::vector<std::uint32_t> values; // 3 x 2, top row first
    std::uint8_t background;
    Rgb expected; // top row first
};

const std::vector<std::uint32_t> RGB24 = {0xFF0000, 0x00FF00, 0x0000FF,
                                          0x102030, 0x405060, 0x708090};
const Rgb RGB24_COLOURS = {255,  0,    0,    0,    255,  0,    0,    0,    255,
                           0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90};
const std::vector<std::uint32_t> ARGB = {0xFFFF0000, 0x80FF0000, 0x00000000,
                                         0xFF123456, 0x40102030, 0xC0FFFFFF};
const std::array<std::uint32_t, 4> BGRA_MASKS = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};

ColourBmp TopDown(ColourBmp form) {
    form.topDown = true;
    return form;
}

ColourBmp WithGap(ColourBmp form) {
    form.gap = 5;
    return form;
}

TEST(HighColourBitmaps, EveryStoredFormGivesItsColours) {
    const ColourCase cases[] = {
        {"24 bits", Form(24), RGB24, 255, RGB24_COLOURS},
        {"24 bits, top-down", TopDown(Form(24)), RGB24, 255, RGB24_COLOURS},
        {"24 bits, 124-byte header", Form(24, 124), RGB24, 255, RGB24_COLOURS},
        {"24 bits, a gap before the pixels", WithGap(Form(24)), RGB24, 255, RGB24_COLOURS},
        // 5-5-5: a 5-bit channel c becomes c << 3 | c >> 2 (16 gives 132); the top bit is
        // not alpha.
        {"16 bits plain",
         Form(16),
         {0x7C00, 0x03E0, 0x001F, 0x0210, 0x8000, 0x4210},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 132, 132, 0, 0, 0, 132, 132, 132}},
        {"16 bits plain, top-down",
         TopDown(Form(16)),
         {0x7C00, 0x03E0, 0x001F, 0x0210, 0x8000, 0x4210},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 132, 132, 0, 0, 0, 132, 132, 132}},
        // 5-6-5: a 6-bit channel c becomes c << 2 | c >> 4 (2 gives 8, 32 gives 130).
        {"16 bits 5-6-5",
         Form(16, 40, 3, {0xF800, 0x07E0, 0x001F, 0}),
         {0xF800, 0x07E0, 0x001F, 0x0841, 0xFFFF, 0x8410},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 8, 8, 255, 255, 255, 132, 130, 132}},
        {"16 bits 5-6-5, 124-byte header",
         Form(16, 124, 3, {0xF800, 0x07E0, 0x001F, 0}),
         {0xF800, 0x07E0, 0x001F, 0x0841, 0xFFFF, 0x8410},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 8, 8, 255, 255, 255, 132, 130, 132}},
        {"16 bits 5-6-5, 56-byte header",
         Form(16, 56, 3, {0xF800, 0x07E0, 0x001F, 0}),
         {0xF800, 0x07E0, 0x001F, 0x0841, 0xFFFF, 0x8410},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 8, 8, 255, 255, 255, 132, 130, 132}},
        // A plain 16-bit bitmap takes the alpha mask that a 124-byte header names.
        {"16 bits plain, alpha mask 0x8000",
         Form(16, 124, 0, {0, 0, 0, 0x8000}),
         {0xFC00, 0x7C00, 0x83E0, 0x03E0, 0x801F, 0x001F},
         255,
         {255, 0, 0, 255, 255, 255, 0, 255, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255}},
        // 4-4-4-4: 0x8 of alpha is 0x88 = 136.
        {"16 bits 4-4-4-4",
         Form(16, 124, 3, {0x0F00, 0x00F0, 0x000F, 0xF000}),
         {0xFF00, 0x8F00, 0x0F00, 0xF0F0, 0xF00F, 0xFFFF},
         0,
         Over({0xFFFF0000, 0x88FF0000, 0x00FF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, 0)},
        {"32 bits with alpha over white", Form(32), ARGB, 255, Over(ARGB, 255)},
        {"32 bits with alpha over black", Form(32), ARGB, 0, Over(ARGB, 0)},
        {"32 bits, 124-byte header with bit fields", Form(32, 124, 3, BGRA_MASKS), ARGB, 0,
         Over(ARGB, 0)},
        // Every alpha byte 0: written without alpha, so opaque ...
        {"32 bits, all alpha 0",
         Form(32),
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030, 0x00405060, 0x00708090},
         0,
         RGB24_COLOURS},
        {"32 bits, all alpha 0, 124-byte header",
         Form(32, 124, 0, BGRA_MASKS),
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030, 0x00405060, 0x00708090},
         0,
         RGB24_COLOURS},
        // ... but with bit fields that name an alpha mask, alpha 0 is clear.
        {"32 bits, bit fields with alpha, all alpha 0",
         Form(32, 124, 3, BGRA_MASKS),
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030, 0x00405060, 0x00708090},
         0,
         Rgb(18, 0)},
        // Bit fields behind a 40-byte header have no alpha.
        {"32 bits, bit fields behind a 40-byte header",
         Form(32, 40, 3, BGRA_MASKS),
         {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030, 0x00405060, 0x00708090},
         0,
         RGB24_COLOURS},
        {"32 bits, red in the low byte",
         Form(32, 40, 3, {0xFF, 0xFF00, 0xFF0000, 0}),
         {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00302010, 0x00605040, 0x00908070},
         0,
         RGB24_COLOURS},
        // Channels narrower than 8 bits anywhere in the word: 3 bits c give c * 0x49 >> 1.
        {"32 bits, 3-bit channels",
         Form(32, 40, 3, {0x7 << 20, 0x7 << 10, 0x7, 0}),
         {0x700000, 0x1C00, 0x7, 0x100401, 0x0, 0x701C07},
         0,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 36, 36, 36, 0, 0, 0, 255, 255, 255}},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            ReadColours(MakeColourBmp(c.form, c.values), c.background, recorder);
        ASSERT_TRUE(image.has_value());
        EXPECT_TRUE(recorder.Messages().empty());
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(image->levels, 256);
        EXPECT_FALSE(image->indexed);
        EXPECT_EQ(image->rgb, c.expected);
        // The grey levels are the luminance of the same colours.
        ASSERT_EQ(image->pixels.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(image->pixels[i],
                      Luminance(c.expected[3 * i], c.expected[3 * i + 1], c.expected[3 * i + 2]))
                << i;
        }
    }
}

// An odd-sized top-down bitmap reads as its bottom-up twin at every depth.
TEST(HighColourBitmaps, TopDownEqualsBottomUp) {
    for (const std::uint16_t bitCount : {16, 24, 32}) {
        SCOPED_TRACE(bitCount);
        ColourBmp form = Form(bitCount);
        form.width = 13;
        form.height = 7;
        std::vector<std::uint32_t> values;
        for (std::uint32_t i = 0; i < 13 * 7; ++i) {
            values.push_back((i * 0x9E3779B9u) >> (bitCount == 16 ? 17 : 8) | 0xFF000000u);
        }
        MessageRecorder recorder;
        const std::optional<SourceImage> up =
            ReadColours(MakeColourBmp(form, values), 255, recorder);
        form.topDown = true;
        const std::optional<SourceImage> down =
            ReadColours(MakeColourBmp(form, values), 255, recorder);
        ASSERT_TRUE(up.has_value());
        ASSERT_TRUE(down.has_value());
        EXPECT_EQ(up->pixels, down->pixels);
        EXPECT_EQ(up->rgb, down->rgb);
        EXPECT_NE(up->pixels.front(), up->pixels.back());
    }
}

TEST(HighColourBitmaps, RefusesWithExactMessages) {
    const std::string invalid = "ERROR: file \'picture.bmp\' has an invalid or unsupported "
                                "format\n  in \'picture.bmp\': not a valid bitmap\n";
    const std::string cut = "ERROR: truncated input file (not enough pixel data)\n  in "
                            "\'picture.bmp\': not enough data for 3 x 2 pixels\n";
    const auto sized = [](std::int32_t width, std::int32_t height, bool topDown) {
        ColourBmp form = Form(24);
        form.width = width;
        form.height = height;
        form.topDown = topDown;
        return MakeColourBmp(form, std::vector<std::uint32_t>(
                                       static_cast<std::size_t>(std::abs(width * height)), 0));
    };
    std::vector<std::uint8_t> short24 = MakeColourBmp(Form(24), RGB24);
    short24.resize(short24.size() - 4); // into the last row's pixels
    std::vector<std::uint8_t> unpadded = MakeColourBmp(Form(24), RGB24);
    unpadded.resize(unpadded.size() - 3); // only the last row's padding is missing
    std::vector<std::uint8_t> os2 = MakeColourBmp(Form(24, 64), RGB24);
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
        std::string message; // empty: read
    } cases[] = {
        {"a mask of 0", MakeColourBmp(Form(16, 124, 3, {0xF800, 0, 0x1F, 0}), RGB24), invalid},
        {"a mask of 9 bits", MakeColourBmp(Form(16, 124, 3, {0xFF80, 0x70, 0xF, 0}), RGB24),
         invalid},
        {"three equal masks", MakeColourBmp(Form(16, 40, 3, {0x7C00, 0x7C00, 0x7C00, 0}), RGB24),
         invalid},
        {"a 64-byte header", os2, invalid},
        {"width 0", sized(0, 2, false),
         "ERROR: invalid size (width=0, height=2)\n  in \'picture.bmp\': a picture has 1 to 32767 "
         "pixels a side\n"},
        {"width 0, top-down", sized(0, 2, true),
         "ERROR: invalid size (width=0, height=-2)\n  in \'picture.bmp\': a picture has 1 to 32767 "
         "pixels a side\n"},
        {"height 32768", sized(1, 32768, false),
         "ERROR: file 'picture.bmp' is too large (1 x 32768 pixels; the limit is 32767 pixels a "
         "side and 268435456 pixels in all)\n"},
        {"cut in the last row", short24, cut},
        {"no padding after the last row", unpadded, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image = ReadColours(c.file, 255, recorder);
        if (c.message.empty()) {
            ASSERT_TRUE(image.has_value());
            EXPECT_EQ(image->rgb, RGB24_COLOURS);
            continue;
        }
        EXPECT_FALSE(image.has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{c.message});
    }
}

} // namespace
