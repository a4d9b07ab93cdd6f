// Palettes on the pictures' side: the fixed-point colour spaces against published values,
// palette files and their faults, adaptive palettes, and mapping with and without
// dithering (whose shares of light must follow linear light, not sRGB bytes).
#include "adaptive_palette.h"
#include "load_palette.h"
#include "message_recorder.h"
#include "oklab.h"
#include "palette_mapping.h"
#include "scratch_name.h"
#include "system_reasons.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(PaletteColours, OklabOfKnownColours) {
    // OKLab of sRGB white, black, red, green, blue and mid grey (Ottosson's reference
    // values, times 2^14), within 3 units (about 0.0002).
    const struct {
        std::uint8_t rgb[3];
        double l, a, b;
    } cases[] = {
        {{255, 255, 255}, 1.0, 0.0, 0.0},
        {{0, 0, 0}, 0.0, 0.0, 0.0},
        {{255, 0, 0}, 0.627955, 0.224863, 0.125846},
        {{0, 255, 0}, 0.866440, -0.233888, 0.179498},
        {{0, 0, 255}, 0.452014, -0.032457, -0.311528},
        {{128, 128, 128}, 0.599871, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        const Lab lab = SrgbToLab(c.rgb[0], c.rgb[1], c.rgb[2]);
        EXPECT_NEAR(lab.l, c.l * LAB_ONE, 3) << int(c.rgb[0]) << " " << int(c.rgb[1]);
        EXPECT_NEAR(lab.a, c.a * LAB_ONE, 3) << int(c.rgb[0]) << " " << int(c.rgb[1]);
        EXPECT_NEAR(lab.b, c.b * LAB_ONE, 3) << int(c.rgb[0]) << " " << int(c.rgb[1]);
    }
    EXPECT_EQ(SrgbToLab(77, 77, 77).a, 0) << "greys are neutral";
    EXPECT_EQ(SrgbToLab(77, 77, 77).b, 0);
}

TEST(PaletteColours, SrgbSurvivesLinearLightAndOklab) {
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(LinearToSrgb(SrgbToLinear(static_cast<std::uint8_t>(v))), v);
    }
    EXPECT_EQ(SrgbToLinear(188), 32957); // 0.5029 of full light
    for (const std::uint32_t colour :
         {0x000000u, 0xFFFFFFu, 0x123456u, 0xFF8000u, 0x00FF7Fu, 0x7F00FFu, 0x010203u, 0xFEFDFCu}) {
        const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(colour >> 16),
                                     static_cast<std::uint8_t>(colour >> 8),
                                     static_cast<std::uint8_t>(colour)};
        std::uint8_t back[3];
        LabToSrgb(SrgbToLab(rgb[0], rgb[1], rgb[2]), back);
        for (int c = 0; c < 3; ++c) {
            EXPECT_LE(std::abs(back[c] - rgb[c]), 1) << std::hex << colour << " channel " << c;
        }
    }
}

class PaletteFileTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_ = [] {
        // One folder per process: ctest runs each test of this fixture as its own process,
        // side by side, and each removes its folder when it ends.
        const auto path =
            std::filesystem::temp_directory_path() / ScratchName("zentra_palette_files");
        std::filesystem::create_directories(path);
        return path;
    }();
};

TEST_F(PaletteFileTest, ReadsBothFormsInTheFilesOrder) {
    const Palette three = {{0x10, 0x20, 0x30}, {0xFF, 0xFE, 0xFD}, {0, 0x80, 0}};
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"gimp.gpl", "GIMP Palette\r\nName: Three\r\nColumns: 3\r\n# comment\r\n"
                     " 16  32  48\tone\r\n255 254 253 two words\r\n\r\n  0 128   0\r\n"},
        {"hex.txt", "#102030\n  #fffefd white-ish\n\n#008000"},
    };
    for (const auto& c : cases) {
        MessageRecorder messages;
        const std::optional<Palette> palette =
            ReadPaletteFile(Write(c.name, c.text), messages.Sink());
        ASSERT_TRUE(palette) << c.name << ": " << ::testing::PrintToString(messages.Messages());
        EXPECT_EQ(*palette, three) << c.name;
    }
}

TEST_F(PaletteFileTest, FaultsNameTheFileAndTheLine) {
    std::string many;
    for (int k = 0; k < 257; ++k) {
        char line[16];
        std::snprintf(line, sizeof line, "#%06X\n", k);
        many += line;
    }
    const struct {
        const char* name;
        std::string text;
        std::string message; // after "ERROR: palette file 'PATH'"
    } cases[] = {
        {"word.txt", "#000000\nwhite\n", ", line 2: 'white' is not a colour (#RRGGBB)\n"},
        {"short.txt", "#00000\n", ", line 1: '#00000' is not a colour (#RRGGBB)\n"},
        {"range.gpl", "GIMP Palette\n0 0 0\n256 0 0\n",
         ", line 3: '256 0 0' is not a colour (R G B)\n"},
        {"two.gpl", "GIMP Palette\n0 0\n", ", line 2: '0 0' is not a colour (R G B)\n"},
        {"empty.gpl", "GIMP Palette\n# nothing\n", " holds no colour\n"},
        {"many.txt", many, " has more than 256 colours\n"},
        {"long.txt", "#000000 " + std::string(2000, 'x') + "\n", ", line 1: line too long\n"},
    };
    for (const auto& c : cases) {
        MessageRecorder messages;
        const std::string path = Write(c.name, c.text);
        EXPECT_FALSE(ReadPaletteFile(path, messages.Sink())) << c.name;
        EXPECT_EQ(messages.Messages(),
                  std::vector<std::string>{"ERROR: palette file '" + path + "'" + c.message})
            << c.name;
    }
    MessageRecorder messages;
    const std::string missing = (folder_ / "missing.gpl").string();
    EXPECT_FALSE(ReadPaletteFile(missing, messages.Sink()));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"ERROR: cannot open palette file '" +
                                                            missing + "'\n" + MissingFileReason()});
}

TEST_F(PaletteFileTest, NamesListsAndFilesAreLoaded) {
    MessageRecorder messages;
    EXPECT_EQ(LoadPalette("bwy", messages.Sink()),
              (Palette{{0, 0, 0}, {255, 255, 255}, {255, 255, 0}}));
    EXPECT_EQ(LoadPalette("#010203,#040506", messages.Sink()), (Palette{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(LoadPalette(Write("p.txt", "#0A0B0C\n"), messages.Sink()), (Palette{{10, 11, 12}}));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{});
    std::vector<Outcome> refused;
    const MessageSink outcomes{.context = &refused, .take = [](void* kept, const Outcome& o) {
                                   static_cast<std::vector<Outcome>*>(kept)->push_back(o);
                               }};
    EXPECT_FALSE(LoadPalette(folder_.string(), outcomes)) << "a folder is no palette";
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].code, OutcomeCode::UnknownPalette);
    EXPECT_EQ(refused[0].file, folder_.string());
    ASSERT_EQ(refused[0].words.size(), 1u);
    EXPECT_NE(refused[0].words[0].find("bw, bwr, bwy, bwry, 6colour, 7colour"), std::string::npos);
}

// width x height pixels of the colours, cycled.
std::vector<std::uint8_t> Pixels(const std::vector<std::uint32_t>& colours, std::size_t count) {
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = colours[i % colours.size()];
        rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c >> 16),
                               static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
    }
    return rgb;
}

TEST(AdaptivePalette, FewColoursAreKeptExactlyDarkFirst) {
    ColourHistogram histogram;
    const auto rgb = Pixels({0xFFFFFF, 0x102030, 0xFF0000, 0x102030, 0x00FF00}, 37);
    ASSERT_TRUE(histogram.Add(rgb.data(), 37));
    // OKLab lightness: 0x102030 0.23, red 0.63, green 0.87, white 1.
    const Palette expected = {{0x10, 0x20, 0x30}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
    EXPECT_EQ(histogram.Choose(4), expected);
    EXPECT_EQ(histogram.Choose(16), expected);
    EXPECT_EQ(ColourHistogram().Choose(16), Palette{});
}

TEST(AdaptivePalette, ManyColoursBecomeAtMostNNearTheirClusters) {
    // Two clusters of many shades each, one dark blue and one light orange, counted over
    // two frames: two colours must sit one in each.
    std::vector<std::uint8_t> frame1;
    std::vector<std::uint8_t> frame2;
    for (int k = 0; k < 300; ++k) {
        frame1.insert(frame1.end(),
                      {static_cast<std::uint8_t>(k % 20), static_cast<std::uint8_t>(k % 17),
                       static_cast<std::uint8_t>(120 + k % 30)});
        frame2.insert(frame2.end(),
                      {static_cast<std::uint8_t>(230 + k % 25),
                       static_cast<std::uint8_t>(140 + k % 23), static_cast<std::uint8_t>(k % 19)});
    }
    ColourHistogram histogram;
    ASSERT_TRUE(histogram.Add(frame1.data(), 300));
    ASSERT_TRUE(histogram.Add(frame2.data(), 300));
    const Palette two = histogram.Choose(2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_LT(two[0].red, 30);
    EXPECT_GT(two[0].blue, 110);
    EXPECT_GT(two[1].red, 220);
    EXPECT_LT(two[1].blue, 30);
    const Palette sixteen = histogram.Choose(16);
    EXPECT_EQ(sixteen.size(), 16u);
    EXPECT_EQ(histogram.Choose(16), sixteen) << "the same counts give the same palette";
}

// The share of pixels that take white when a flat grey is dithered to black and white.
double WhiteShare(std::uint8_t grey, Dither dither) {
    constexpr int side = 64;
    const std::vector<std::uint8_t> rgb(side * side * 3, grey);
    std::vector<std::uint8_t> indices(side * side);
    EXPECT_TRUE(
        MapToPalette(rgb.data(), side, side, {{0, 0, 0}, {255, 255, 255}}, dither, indices.data()));
    int white = 0;
    for (const std::uint8_t index : indices) {
        white += index;
    }
    return static_cast<double>(white) / (side * side);
}

TEST(PaletteMapping, DitheringKeepsTheLinearLightOfTheArea) {
    // sRGB 188 is half the light of white (linear 0.503), though 74 % of its byte range;
    // sRGB 137 is a quarter (0.251).
    for (const Dither dither : {Dither::FloydSteinberg, Dither::Bayer4, Dither::Bayer8}) {
        EXPECT_NEAR(WhiteShare(188, dither), 0.503, 0.03) << DitherName(dither);
        EXPECT_NEAR(WhiteShare(137, dither), 0.251, 0.03) << DitherName(dither);
        EXPECT_EQ(WhiteShare(0, dither), 0.0) << DitherName(dither);
        EXPECT_EQ(WhiteShare(255, dither), 1.0) << DitherName(dither);
    }
    // Atkinson hands on only 6/8 of the error, so a mid tone lands between its share of
    // light and the nearest colour, but still below its share of the byte range.
    EXPECT_GT(WhiteShare(188, Dither::Atkinson), 0.45);
    EXPECT_LT(WhiteShare(188, Dither::Atkinson), 0.70);
    // Without dithering: OKLab lightness 0.47 (sRGB 90) is nearer black, 0.54 (110) white.
    EXPECT_EQ(WhiteShare(90, Dither::None), 0.0);
    EXPECT_EQ(WhiteShare(110, Dither::None), 1.0);
}

TEST(PaletteMapping, NearestColoursByHand) {
    const Palette palette = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {255, 255, 0}, {0, 0, 255}};
    // 5 x 1: dark red, ochre, navy, a palette colour itself, light grey.
    const std::vector<std::uint8_t> rgb = {160, 20,  20, 240, 230, 60,  10, 10,
                                           110, 255, 0,  0,   210, 210, 210};
    std::vector<std::uint8_t> indices(5);
    ASSERT_TRUE(MapToPalette(rgb.data(), 5, 1, palette, Dither::None, indices.data()));
    EXPECT_EQ(indices, (std::vector<std::uint8_t>{2, 3, 4, 2, 1}));
    EXPECT_FALSE(MapToPalette(rgb.data(), 5, 1, Palette{}, Dither::None, indices.data()));
    // Two equal entries: the first of them is taken.
    ASSERT_TRUE(MapToPalette(rgb.data(), 5, 1, {{255, 0, 0}, {255, 0, 0}, {0, 0, 0}}, Dither::None,
                             indices.data()));
    EXPECT_EQ(indices[3], 0);
}

} // namespace
