// ztr convert with palettes: a palette file's colours in the record in the file's order,
// a two-plane black/white/red panel's memories worked out by hand, an adaptive palette's
// size, and the command-line errors of palettes that cannot be read or do not fit.
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

} // namespace
