// Panel palettes: blending nominal and measured colours by saturation, the colour-less
// rule and the hue weighing of matching, the check of a palette's order against a
// panel's, measured colours in a palette file's second column, and saturation as a word.
#include "load_palette.h"
#include "message_recorder.h"
#include "palette_order.h"
#include "panel_palette.h"
#include "tone_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const PanelPalette BWR{{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}},
                       {{0x19, 0x1E, 0x21}, {0xE8, 0xE8, 0xE8}, {0xB2, 0x13, 0x18}}};
const PanelPalette ACEP{{{0, 0, 0},
                         {255, 255, 255},
                         {0, 255, 0},
                         {0, 0, 255},
                         {255, 0, 0},
                         {255, 255, 0},
                         {255, 128, 0}},
                        {{57, 48, 57},
                         {255, 255, 255},
                         {58, 91, 70},
                         {61, 59, 94},
                         {156, 72, 75},
                         {208, 190, 71},
                         {177, 106, 73}}};

TEST(PanelPalette, SaturationMovesFromNominalToMeasured) {
    const PanelPalette green{{{0, 255, 0}}, {{58, 91, 70}}};
    EXPECT_EQ(MatchedColours(green, 0), (Palette{{0, 255, 0}}));
    EXPECT_EQ(MatchedColours(green, 1000), (Palette{{58, 91, 70}}));
    // Half way, by hand: 0 + 58 / 2, 255 - 164 / 2, 0 + 70 / 2.
    EXPECT_EQ(MatchedColours(green, 500), (Palette{{29, 173, 35}}));
    EXPECT_EQ(MatchedColours({{{0, 255, 0}}, {}}, 1000), (Palette{{0, 255, 0}}))
        << "nothing measured: the nominal colours";
    // Another palette borrows the panel's measurements only index for index.
    EXPECT_EQ(BorrowedShows({{0, 0, 0}, {255, 255, 255}}, BWR),
              (Palette{{0x19, 0x1E, 0x21}, {0xE8, 0xE8, 0xE8}}));
    EXPECT_TRUE(BorrowedShows({{255, 255, 255}, {0, 0, 0}}, BWR).empty());
}

std::vector<std::uint8_t> Map(const std::vector<std::uint8_t>& rgb, int width,
                              const PanelPalette& palette, int saturation, Dither dither) {
    const int height = static_cast<int>(rgb.size() / 3) / width;
    std::vector<std::uint8_t> indices(rgb.size() / 3);
    EXPECT_TRUE(MapToPalette(rgb.data(), width, height, PanelMatch(palette, saturation), dither,
                             indices.data()));
    return indices;
}

TEST(PanelPalette, GreysKeepToBlackAndWhiteAndRedStaysRed) {
    // 13 x 4: a grey ramp beside a red block, so that red's errors reach the greys.
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 13; ++x) {
            const bool red = x >= 9;
            const auto grey = static_cast<std::uint8_t>(x * 255 / 8);
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(red ? 190 : grey),
                                   static_cast<std::uint8_t>(red ? 40 : grey),
                                   static_cast<std::uint8_t>(red ? 45 : grey)});
        }
    }
    for (const Dither dither :
         {Dither::None, Dither::FloydSteinberg, Dither::Atkinson, Dither::Bayer4, Dither::Bayer8}) {
        for (const int saturation : {0, 1000}) {
            const std::vector<std::uint8_t> indices = Map(rgb, 13, BWR, saturation, dither);
            int reds = 0;
            for (std::size_t i = 0; i < indices.size(); ++i) {
                const bool red = i % 13 >= 9;
                if (!red) {
                    EXPECT_NE(indices[i], 2) << DitherName(dither) << " grey pixel " << i;
                }
                reds += red && indices[i] == 2;
            }
            EXPECT_GE(reds, 8) << DitherName(dither) << " of the block's 16";
        }
    }
}

TEST(PanelPalette, GreensNeverBecomeOrange) {
    // Greens of hue 130 to 160 degrees, light and dark, the first rgb(35,143,75), which
    // plain OKLab distance puts nearer orange than the nominal green. A dark one may become
    // black and a light one yellow, but none orange or red.
    const std::vector<std::uint8_t> greens = {35, 143, 75,  20, 110, 40, 60, 160, 60,
                                              90, 200, 110, 30, 90,  50, 70, 150, 90};
    for (const int saturation : {0, 500, 1000}) {
        const std::vector<std::uint8_t> indices = Map(greens, 6, ACEP, saturation, Dither::None);
        EXPECT_EQ(indices[0], 2) << "saturation " << saturation;
        for (const std::uint8_t index : indices) {
            EXPECT_NE(index, 6) << "saturation " << saturation; // orange
            EXPECT_NE(index, 4) << "saturation " << saturation; // red
        }
    }
    // Plain distance to the nominal colours takes orange for the first: what the hue weight
    // is for.
    std::vector<std::uint8_t> plain(1);
    ASSERT_TRUE(MapToPalette(greens.data(), 1, 1, ACEP.colours, Dither::None, plain.data()));
    EXPECT_EQ(plain[0], 6);
}

TEST(PanelPalette, OrderFaultsNameBothOrders) {
    const Palette acep = ACEP.colours;
    const Palette seven = *BuiltInPalette("7colour");
    const Palette uc8151 = {{255, 0, 0}, {255, 0, 0}, {0, 0, 0}, {255, 255, 255}};
    const struct {
        Palette given;
        Palette panel;
        bool fault;
    } cases[] = {
        {seven, acep, true},
        {acep, acep, false},
        {*BuiltInPalette("bw"), uc8151, true},
        {*BuiltInPalette("bw"), BWR.colours, false},        // the panel's first entries
        {{{0, 0, 0}, {128, 128, 128}}, BWR.colours, false}, // a colour of the user's own
        {{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {255, 0, 0}}, BWR.colours, true}, // 4th
        {seven, {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PaletteOrderFault(c.given, "palette 'p'", c.panel, "type 't'").has_value(),
                  c.fault)
            << ColourNames(c.given) << " for " << ColourNames(c.panel);
    }
    EXPECT_EQ(*PaletteOrderFault(*BuiltInPalette("bwy"), "palette 'bwy'",
                                 {{255, 255, 0}, {0, 0, 0}, {255, 255, 255}}, "type 'x'"),
              "palette 'bwy' puts the colours of type 'x' in another order (black, white, "
              "yellow); the panel's order is yellow, black, white, and a colour at another "
              "index is a code that the panel shows as another colour");
}

TEST(PanelPalette, PaletteFilesGiveMeasuredColoursInTheirSecondColumn) {
    MessageRecorder messages;
    const std::string both = "#000000 #191E21 black\n#FFFFFF\t#E8E8E8\n";
    const auto read =
        ReadPanelPaletteBytes({reinterpret_cast<const std::uint8_t*>(both.data()), both.size()},
                              "two.txt", messages.Sink());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->colours, (Palette{{0, 0, 0}, {255, 255, 255}}));
    EXPECT_EQ(read->shows, (Palette{{0x19, 0x1E, 0x21}, {0xE8, 0xE8, 0xE8}}));
    const std::string mixed = "#000000 #191E21\n#FFFFFF white\n";
    EXPECT_FALSE(
        ReadPanelPaletteBytes({reinterpret_cast<const std::uint8_t*>(mixed.data()), mixed.size()},
                              "mixed.txt", messages.Sink()));
    EXPECT_EQ(messages.Messages().back(),
              "ERROR: palette file 'mixed.txt', line 2: a measured colour (second column) is "
              "given for the colours before it but not for this one\n");
}

TEST(PanelPalette, SaturationAsAWord) {
    const struct {
        const char* text;
        int value; // -1: refused
    } cases[] = {{"0", 0},       {"1", 1000}, {"0.5", 500}, {".25", 250},   {"1.000", 1000},
                 {"0.125", 125}, {"1.5", -1}, {"2", -1},    {"0.1234", -1}, {"", -1},
                 {".", -1},      {"1.", -1},  {"-0.5", -1}, {"0,5", -1}};
    for (const auto& c : cases) {
        ToneOptions options;
        EXPECT_EQ(ApplyToneSetting("saturation", c.text, options), c.value >= 0) << c.text;
        if (c.value >= 0) {
            EXPECT_EQ(options.saturation, c.value) << c.text;
        }
    }
    ToneOptions options;
    for (const auto& [value, text] :
         {std::pair{0, "0"}, {250, "0.25"}, {1000, "1"}, {5, "0.005"}}) {
        options.saturation = value;
        EXPECT_EQ(ToneSettings(options).back(),
                  (std::pair<std::string, std::string>{"saturation", text}));
    }
}

} // namespace
