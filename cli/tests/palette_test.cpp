// ztr convert with palettes: a palette file's colours in the record in the file's order,
// a two-plane black/white/red panel's memories worked out by hand, an adaptive palette's
// size, the command-line errors of palettes that cannot be read, do not fit or are out of
// a panel's order, colour e-paper as the panel shows it, and profiles that cannot be used.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::filesystem::path TEST_DATA = ZENTRA_TEST_DATA;
const std::filesystem::path ROOT = TEST_DATA / ".." / "..";
const std::string PROFILES = (ROOT / "data" / "displays.prf").string();
const std::filesystem::path PHOTO = ROOT / "data" / "samples" / "photo_43x29.png";

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int v : values) {
        bytes.push_back(static_cast<char>(v));
    }
    return bytes;
}

// A raw PPM of width x height colours given as 0xRRGGBB, row by row.
std::string Ppm(int width, int height, const std::vector<std::uint32_t>& colours) {
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (const std::uint32_t c : colours) {
        ppm += Bytes({static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF),
                      static_cast<int>(c & 0xFF)});
    }
    return ppm;
}

// The colours of a binary PPM that ztr render wrote, as 0xRRGGBB.
std::set<std::uint32_t> RenderedColours(const std::string& ppm) {
    // "P6\nW H\n255\n": the pixels follow the third line end.
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) {
        at = ppm.find('\n', at) + 1;
    }
    std::set<std::uint32_t> colours;
    for (; at + 2 < ppm.size(); at += 3) {
        colours.insert(static_cast<std::uint32_t>(static_cast<unsigned char>(ppm[at])) << 16 |
                       static_cast<std::uint32_t>(static_cast<unsigned char>(ppm[at + 1])) << 8 |
                       static_cast<unsigned char>(ppm[at + 2]));
    }
    return colours;
}

TEST(ZtrPalette, PaletteFileColoursInTheFilesOrderAndEveryRenderedPixelOneOfThem) {
    ScratchDirectory dir("palette-file");
    std::filesystem::copy_file(PHOTO, dir / "photo.png");
    WriteWholeFile(dir / "five.gpl", "GIMP Palette\nName: five\nColumns: 5\n#\n"
                                     " 20  40  60\tdark slate\n250 250 240 paper\n"
                                     "200  30  30\tbrick\n 30 160  60\n230 200  40 ochre\n");
    const std::vector<std::uint32_t> file = {0x14283C, 0xFAFAF0, 0xC81E1E, 0x1EA03C, 0xE6C828};
    for (const char* code : {"0x40000", "0x4000B", "0x80008"}) {
        SCOPED_TRACE(code);
        const ZtrResult converted =
            RunZtr({"convert", "--palette", "five.gpl", "--code", code, "photo.png"}, dir.path());
        ASSERT_EQ(converted.status, 0) << converted.err;
        const std::string ztr = ReadWholeFile(dir / "photo.ztr");
        ASSERT_GT(ztr.size(), 12u);
        EXPECT_EQ(ztr[6] & 0x40, 0x40) << "RECORD_PALETTE";
        const int depth = static_cast<unsigned char>(ztr[7]);
        const std::string palette = ztr.substr(12, 3u << depth);
        for (std::size_t k = 0; k < (1u << depth); ++k) {
            const std::uint32_t want = k < file.size() ? file[k] : 0; // padded with black
            EXPECT_EQ(palette.substr(3 * k, 3),
                      Bytes({static_cast<int>(want >> 16), static_cast<int>(want >> 8 & 0xFF),
                             static_cast<int>(want & 0xFF)}))
                << "entry " << k;
        }
        ASSERT_EQ(RunZtr({"render", "photo.ztr", "0", "-o", "photo.ppm"}, dir.path()).status, 0);
        const std::set<std::uint32_t> rendered = RenderedColours(ReadWholeFile(dir / "photo.ppm"));
        EXPECT_GE(rendered.size(), 3u) << "the photo takes several of the colours";
        for (const std::uint32_t colour : rendered) {
            EXPECT_NE(std::find(file.begin(), file.end(), colour), file.end())
                << std::hex << colour;
        }
    }
}

// A 5 x 3 picture for two-plane black/white/red panels, by hand:
//   colours   K W R W K     SSD1680 (bwr: K 0, W 1, R 2)   UC8151 (R 0, K 2, W 3)
//             W R R K W     indices 0 1 2 1 0               2 3 0 3 2
//             R K W W R             1 2 2 0 1               3 0 0 2 3
//                                   2 0 1 1 2               0 2 3 3 0
//   plane 0, black/white memory (1 white), the same for both: 01010 10001 00110
//     -> 0101 0000, 1000 1000, 0011 0000 = 50 88 30
//   plane 1 SSD1680 red RAM (1 red):      00100 01100 10001 -> 20 60 88
//   plane 1 UC8151 red data (0 red):      11011 10011 01110 -> D8 98 70
// No two neighbouring bytes are equal, so the coded data is the stream itself.
TEST(ZtrPalette, TwoPlaneBlackWhiteRedPanelsGetTheirMemoriesByHand) {
    ScratchDirectory dir("palette-bwr");
    constexpr std::uint32_t K = 0x000000;
    constexpr std::uint32_t W = 0xFFFFFF;
    constexpr std::uint32_t R = 0xFF0000;
    WriteWholeFile(dir / "sign.ppm", Ppm(5, 3, {K, W, R, W, K, W, R, R, K, W, R, K, W, W, R}));
    const ZtrResult converted = RunZtr({"convert", "--profiles", PROFILES, "--type", "ssd1680_bwr",
                                        "--type", "uc8151_bwr", "sign.ppm"},
                                       dir.path());
    ASSERT_EQ(converted.status, 0) << converted.err;
    const std::string header = Bytes({30, 0, 0, 0, 0x02, 0xA2, 0x48, 2, 5, 0, 3, 0});
    const std::string ssd1680 = header + Bytes({0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 0}) +
                                Bytes({0x50, 0x88, 0x30, 0x20, 0x60, 0x88});
    const std::string uc8151 = header + Bytes({255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255}) +
                               Bytes({0x50, 0x88, 0x30, 0xD8, 0x98, 0x70});
    EXPECT_EQ(ReadWholeFile(dir / "sign.ztr"), ssd1680 + uc8151);
}

TEST(ZtrPalette, AdaptivePaletteHasAtMostTheColoursAsked) {
    ScratchDirectory dir("palette-adaptive");
    std::filesystem::copy_file(PHOTO, dir / "photo.png");
    for (const auto& [colours, code] :
         {std::tuple{"16", "0x80000"}, {"4", "0x20008"}, {"7", "0x4001B"}, {"2", "0x10000"}}) {
        SCOPED_TRACE(colours);
        const ZtrResult converted = RunZtr(
            {"convert", "--colours", colours, "--dither", "atkinson", "--code", code, "photo.png"},
            dir.path());
        ASSERT_EQ(converted.status, 0) << converted.err;
        ASSERT_EQ(RunZtr({"render", "photo.ztr", "0", "-o", "photo.ppm"}, dir.path()).status, 0);
        const std::size_t rendered = RenderedColours(ReadWholeFile(dir / "photo.ppm")).size();
        EXPECT_LE(rendered, static_cast<std::size_t>(std::stoi(colours)));
        EXPECT_GE(rendered, 2u);
    }
}

TEST(ZtrPalette, PalettesThatCannotBeReadOrDoNotFitAreCommandLineErrors) {
    ScratchDirectory dir("palette-errors");
    std::filesystem::copy_file(PHOTO, dir / "photo.png");
    WriteWholeFile(dir / "bad.txt", "#000000\n#FFFFFF\nwhite\n");
    const std::string hint = "\nTry 'ztr --help' for more information.\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--palette", "7colour", "--code", "0x20000"},
         "ztr: palette '7colour' has 7 colours, more than the 4 of a record of depth 2 (type "
         "code '0x20000')"},
        {{"--colours", "5", "--code", "0x80000", "--code", "0x20008"},
         "ztr: --colours 5 asks for 5 colours, more than the 4 of a record of depth 2 (type "
         "code '0x20008')"},
        {{"--profiles", PROFILES, "--palette", "bwry", "--type", "ssd1306"},
         "ztr: palette 'bwry' has 4 colours, more than the 2 of a record of depth 1 (type "
         "'ssd1306')"},
        {{"--palette", "bwr", "--colours", "3", "--code", "0x80000"},
         "ztr: --palette and --colours exclude each other"},
        {{"--palette", "bad.txt", "--code", "0x80000"},
         "ztr: palette file 'bad.txt', line 3: 'white' is not a colour (#RRGGBB)"},
        {{"--palette", "rainbow", "--code", "0x80000"},
         "ztr: palette 'rainbow' is neither a built-in palette (bw, bwr, bwy, bwry, 6colour, "
         "7colour), a list of #RRGGBB colours nor a palette file"},
        {{"--colours", "1", "--code", "0x80000"},
         "ztr: invalid value '1' for option '--colours' (2 to 256)"},
        {{"--colours", "257", "--code", "0x80000"},
         "ztr: invalid value '257' for option '--colours' (2 to 256)"},
        {{"--palette", "", "--code", "0x80000"},
         "ztr: invalid value '' for option '--palette' (bw, bwr, bwy, bwry, 6colour, 7colour, "
         "#RRGGBB,... or a palette file)"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"convert"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("photo.png");
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, 2) << c.err;
        EXPECT_EQ(result.err, c.err + hint);
        EXPECT_FALSE(std::filesystem::exists(dir / "photo.ztr")) << c.err;
    }
}

// Colour e-paper: a flat green stays green on a seven-colour panel; the anti-aliased
// greys of black text never turn red on a black/white/red one, dithered or not; and
// render --panel shows the measured colours.
TEST(ZtrEpaper, GreensStayGreenAndGreysStayGrey) {
    ScratchDirectory dir("epaper");
    WriteWholeFile(dir / "green.ppm", Ppm(3, 2, std::vector<std::uint32_t>(6, 0x238F4B)));
    // A grey ramp of 11 x 3 from black to white, every step a grey of text's edges.
    std::vector<std::uint32_t> ramp;
    for (int i = 0; i < 33; ++i) {
        const std::uint32_t g = static_cast<std::uint32_t>(i % 11 * 255 / 10);
        ramp.push_back(g << 16 | g << 8 | g);
    }
    WriteWholeFile(dir / "ramp.ppm", Ppm(11, 3, ramp));
    for (const char* saturation : {"0", "0.5", "1"}) {
        const ZtrResult green =
            RunZtr({"convert", "--profiles", PROFILES, "--type", "acep7", "--saturation",
                    saturation, "--dither", "none", "green.ppm"},
                   dir.path());
        ASSERT_EQ(green.status, 0) << green.err;
        ASSERT_EQ(RunZtr({"render", "green.ztr", "0", "-o", "green_out.ppm"}, dir.path()).status,
                  0);
        EXPECT_EQ(RenderedColours(ReadWholeFile(dir / "green_out.ppm")),
                  std::set<std::uint32_t>{0x00FF00})
            << saturation;
    }
    ASSERT_EQ(RunZtr({"render", "green.ztr", "0", "--profiles", PROFILES, "--panel", "acep7", "-o",
                      "shown.ppm"},
                     dir.path())
                  .status,
              0);
    EXPECT_EQ(RenderedColours(ReadWholeFile(dir / "shown.ppm")), std::set<std::uint32_t>{0x3A5B46});
    for (const char* dither : {"none", "floyd-steinberg", "atkinson", "bayer4", "bayer8"}) {
        const ZtrResult text = RunZtr({"convert", "--profiles", PROFILES, "--type", "ssd1680_bwr",
                                       "--dither", dither, "ramp.ppm"},
                                      dir.path());
        ASSERT_EQ(text.status, 0) << text.err;
        ASSERT_EQ(RunZtr({"render", "ramp.ztr", "0", "-o", "ramp_out.ppm"}, dir.path()).status, 0);
        EXPECT_EQ(RenderedColours(ReadWholeFile(dir / "ramp_out.ppm")).count(0xFF0000), 0u)
            << dither;
    }
}

// Records are the panel's codes: a palette of the panel's colours in another order is
// refused, naming both orders; with the panel's own order, or colours of the user's own,
// it is written.
TEST(ZtrEpaper, PalettesOutOfThePanelsOrderAreRefused) {
    ScratchDirectory dir("epaper-order");
    WriteWholeFile(dir / "dot.ppm", Ppm(2, 1, {0xFF0000, 0x000000}));
    const std::string hint = "\nTry 'ztr --help' for more information.\n";
    const struct {
        std::string palette;
        std::string type;
        std::string err; // empty: written
    } cases[] = {
        {"7colour", "acep7",
         "ztr: palette '7colour' puts the colours of type 'acep7' in another order (black, white, "
         "yellow, red, blue, green, orange); the panel's order is black, white, green, blue, red, "
         "yellow, orange, and a colour at another index is a code that the panel shows as "
         "another colour"},
        {"bw", "uc8151_bwr",
         "ztr: palette 'bw' puts the colours of type 'uc8151_bwr' in another order (black, "
         "white); the panel's order is red, red, black, white, and a colour at another index is "
         "a code that the panel shows as another colour"},
        {"#000000,#FFFFFF,#00FF00,#0000FF,#FF0000,#FFFF00,#FF8000", "acep7", ""},
        {"bw", "ssd1680_bwr", ""},
        {"#000000,#FFFFFF,#808080", "ssd1680_bwr", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.palette + " " + c.type);
        const ZtrResult result = RunZtr({"convert", "--profiles", PROFILES, "--palette", c.palette,
                                         "--type", c.type, "dot.ppm"},
                                        dir.path());
        EXPECT_EQ(result.status, c.err.empty() ? 0 : 2);
        EXPECT_EQ(result.err, c.err.empty() ? "" : c.err + hint);
        EXPECT_EQ(std::filesystem::remove(dir / "dot.ztr"), c.err.empty());
    }
}

// The same two colours make the same picture: --palette bw at depth 1 writes what the
// conversion without a palette writes, byte for byte.
TEST(ZtrEpaper, BlackAndWhiteAtDepthOneIsTheConversionWithoutAPalette) {
    ScratchDirectory dir("epaper-bw");
    std::filesystem::copy_file(PHOTO, dir / "photo.png");
    for (const char* dither : {"none", "floyd-steinberg", "bayer8"}) {
        SCOPED_TRACE(dither);
        const std::vector<std::string> common = {"convert", "--dither", dither,   "--code",
                                                 "0x10000", "--code",   "0x20000"};
        std::vector<std::string> args = common;
        args.insert(args.end(), {"-o", "plain.ztr", "photo.png"});
        ASSERT_EQ(RunZtr(args, dir.path()).status, 0);
        args = common;
        args.insert(args.end(), {"--palette", "#000000,#ffffff", "-o", "bw.ztr", "photo.png"});
        ASSERT_EQ(RunZtr(args, dir.path()).status, 0);
        const std::string plain = ReadWholeFile(dir / "plain.ztr");
        const std::string bw = ReadWholeFile(dir / "bw.ztr");
        // The depth-1 record is the same; the depth-2 one carries the two-colour palette.
        const std::size_t first =
            static_cast<unsigned char>(plain[0]) | static_cast<unsigned char>(plain[1]) << 8;
        EXPECT_EQ(bw.substr(0, first), plain.substr(0, first));
        EXPECT_NE(bw.substr(first), plain.substr(first));
    }
}

// A profile whose settings cannot be read is not converted to; a run warns about the lines
// of the profiles it uses and sums up the others in one line.
TEST(ZtrEpaper, UnreadableSettingsMakeAProfileUnusable) {
    ScratchDirectory dir("epaper-profiles");
    WriteWholeFile(dir / "dot.ppm", Ppm(2, 1, {0xFF0000, 0x000000}));
    WriteWholeFile(dir / "my.prf", "epd1 0x08 ; 2 palette=bwrr size=128x296\n"
                                   "good 0 ; 1 Fine\n"
                                   "odd 0 ; 1 colour=red Usable\n"
                                   "bad 0 ; 1 size=0x5\n"
                                   "few 0 ; 2 palette=bwr shows=#111111,#EEEEEE Two of three\n");
    const std::string summary = "' could not be read; 'ztr profiles --check' lists them\n";
    const struct {
        std::string type;
        int status;
        std::string err;
    } cases[] = {
        {"epd1", 1,
         "ztr: profile file 'my.prf', line 1: palette 'bwrr' is neither a built-in palette (bw, "
         "bwr, bwy, bwry, 6colour, 7colour) nor #RRGGBB colours; the profile cannot be used\n"},
        {"bad", 1,
         "ztr: profile file 'my.prf', line 4: size '0x5' is not WIDTHxHEIGHT with sides of 1 to "
         "32767; the profile cannot be used\n"},
        {"few", 1,
         "ztr: profile file 'my.prf', line 5: shows= gives 2 colours for a palette of 3; the "
         "profile cannot be used\n"},
        {"good", 0, "WARNING: 4 lines of 'my.prf" + summary},
        {"odd", 0,
         "WARNING: profile file 'my.prf', line 3: unknown setting 'colour=red'; ignored\n"
         "WARNING: 3 other lines of 'my.prf" +
             summary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const ZtrResult result =
            RunZtr({"convert", "--profiles", "my.prf", "--type", c.type, "dot.ppm"}, dir.path());
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(std::filesystem::remove(dir / "dot.ztr"), c.status == 0);
    }
    const ZtrResult check = RunZtr({"profiles", "--check", "my.prf"}, dir.path());
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(check.out.ends_with("'my.prf': 5 profiles, 4 lines with faults; cannot be used: "
                                    "epd1, bad, few\n"))
        << check.out;
    const ZtrResult bundled = RunZtr({"profiles", "--check", PROFILES}, dir.path());
    EXPECT_EQ(bundled.status, 0) << bundled.out;
}

} // namespace
