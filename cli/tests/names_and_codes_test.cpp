// What a user types and reads: profile names without regard to case and the closest names
// offered, the values a refused option takes, type codes quoted as typed, lay-outs in 0x
// hexadecimal for people (the script listings as they were), and a profile's background.
#include "ztr_runner.h"

#include <gtest/gtest.h>

namespace {

const std::string PICTURE =
    "P5\n5 3\n255\n" +
    std::string("\x00\x10\x20\x30\x40\xFF\x00\x40\x20\x01\x02\xFE\xFD\x00\x80", 15);
const std::string PROFILES = "oled 0x16 ; 1 size=128x64 background=black OLED panel\n"
                             "epd 0x08 ; 2 palette=bwr Red e-paper\n"
                             "plain 5\n"
                             "Pages 2\n"
                             "PAGES 2 ; 1 the same name in capitals\n"
                             "dark 0 ; 8 background=black Dark panel\n";

struct TypedCase {
    std::vector<std::string> args;
    int status;
    std::string error; // part of standard error, or "" for none
};

TEST(ZtrTyping, NamesWordsAndCodesAsTheUserTypedThem) {
    const TypedCase cases[] = {
        {{"--type", "OLED"}, 0, ""},
        {{"--type", "pages"},
         2,
         "ztr: unknown profile name 'pages'; did you mean 'Pages' or "
         "'PAGES'?\n"},
        {{"--type", "olde"}, 2, "unknown profile name 'olde'; did you mean 'oled'?\n"},
        {{"--type", "nothing_like_it"}, 2, "ztr: unknown profile name 'nothing_like_it'\n"},
        {{"--code", "0x10000", "--dither", "fs"},
         2,
         "invalid value 'fs' for option '--dither' (none, floyd-steinberg, atkinson, bayer4 or "
         "bayer8)\n"},
        {{"--code", "0x10000", "--fit", "fill"},
         2,
         "invalid value 'fill' for option '--fit' (contain, cover or stretch)\n"},
        {{"--code", "0x10000", "--background", "grey"},
         2,
         "invalid value 'grey' for option '--background' (white or black)\n"},
        {{"--code", "0x10000", "--rotate", "45"},
         2,
         "invalid value '45' for option '--rotate' (90, 180 or 270)\n"},
        {{"--code", "0x10000", "--resize", "0x5"},
         2,
         "invalid value '0x5' for option '--resize' (WxH, each side 1 to 32767, or panel)\n"},
        {{"--code", "0x10000", "--threshold", "300"},
         2,
         "invalid value '300' for option '--threshold' (0 to 255, or auto)\n"},
        {{"--code", "0x40000", "--colours", "17"}, 2, "(type code '0x40000')\n"},
        {{"--code", "262144", "--colours", "17"}, 2, "(type code '262144')\n"},
        {{"--code", "0x10006", "--resize", "panel"},
         2,
         "--resize panel: the type code '0x10006' has no panel size"},
    };
    for (const TypedCase& c : cases) {
        ScratchDirectory dir("typing");
        WriteWholeFile(dir / "a.pgm", PICTURE);
        WriteWholeFile(dir / "my.prf", PROFILES);
        std::vector<std::string> args = {"convert", "--profiles", "my.prf"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("a.pgm");
        const ZtrResult result = RunZtr(args, dir.path());
        SCOPED_TRACE(c.args[1]);
        EXPECT_EQ(result.status, c.status) << result.err;
        if (c.error.empty()) {
            EXPECT_EQ(result.err, "");
        } else {
            EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
        }
    }
}

TEST(ZtrTyping, AProfileWithoutSizeNamesTheSizedOnes) {
    ScratchDirectory dir("sized");
    WriteWholeFile(dir / "a.pgm", PICTURE);
    const ZtrResult result =
        RunZtr({"convert", "--resize", "panel", "--type", "st7789", "a.pgm"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("ztr: --resize panel: the display type 'st7789' has no panel size "
                              "(size=WxH in its profile); the profiles 'st7789_135x240', "
                              "'st7789_240x240', 'st7789_240x280', 'st7789_170x320' and "
                              "'st7789_240x320' give one\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(RunZtr({"convert", "--resize", "panel", "--type", "st7789_240x240", "--type",
                      "ili9341_columns", "a.pgm"},
                     dir.path())
                  .status,
              0);
}

TEST(ZtrListings, ScriptsKeepTheirLinesAndPeopleGetHexadecimal) {
    ScratchDirectory dir("listings");
    WriteWholeFile(dir / "a.pgm", PICTURE);
    WriteWholeFile(dir / "my.prf", PROFILES);
    // For scripts: tab-separated, the lay-out in decimal, the description without settings.
    EXPECT_EQ(RunZtr({"profiles", "my.prf"}, dir.path()).out,
              "0\toled\t22\t1\tOLED panel\n1\tepd\t8\t2\tRed e-paper\n2\tplain\t5\t1\t\n"
              "3\tPages\t2\t1\t\n4\tPAGES\t2\t1\tthe same name in capitals\n"
              "5\tdark\t0\t8\tDark panel\n");
    // For people: lined up, 0x lay-outs, the settings in columns of their own.
    EXPECT_EQ(RunZtr({"profiles", "--verbose", "my.prf"}, dir.path()).out,
              "#  name   layout  depth  size    palette  background  description\n"
              "0  oled   0x16    1      128x64  -        black       OLED panel\n"
              "1  epd    0x08    2      -       bwr      -           Red e-paper\n"
              "2  plain  0x05    1      -       -        -\n"
              "3  Pages  0x02    1      -       -        -\n"
              "4  PAGES  0x02    1      -       -        -           the same name in capitals\n"
              "5  dark   0x00    8      -       -        black       Dark panel\n");
    ASSERT_EQ(
        RunZtr({"convert", "--profiles", "my.prf", "--type", "epd", "--code", "0x10006", "a.pgm"},
               dir.path())
            .status,
        0);
    EXPECT_EQ(RunZtr({"list", "a.ztr"}, dir.path()).out,
              "5 x 3, colour depth 2 bits, layout 08 [row order, planar lay-out]\n"
              "5 x 3 monochrome, layout 06 [banded rows, reversed pixel order]\n");
    EXPECT_EQ(RunZtr({"list", "--verbose", "a.ztr"}, dir.path()).out,
              "5 x 3, colour depth 2 bits, layout 0x08 [row order, planar lay-out], palette of 4 "
              "colours\n"
              "5 x 3 monochrome, layout 0x06 [banded rows, reversed pixel order]\n");
    const ZtrResult probe = RunZtr({"probe", "8x8", "-o", "p.ztr"}, dir.path());
    EXPECT_EQ(probe.out.substr(0, probe.out.find('\n', probe.out.find('\n') + 1) + 1),
              "0\t0x10000\t8 x 8 monochrome, layout 0x00 [row order]\n"
              "1\t0x10001\t8 x 8 monochrome, layout 0x01 [column order]\n");
}

// The colour of the pixel at (x, y) of a binary PPM that ztr render wrote.
std::string PixelAt(const std::string& ppm, std::size_t width, std::size_t x, std::size_t y) {
    std::size_t at = 0;
    for (int line = 0; line < 3; ++line) {
        at = ppm.find('\n', at) + 1;
    }
    return ppm.substr(at + 3 * (y * width + x), 3);
}

TEST(ZtrBackground, AProfilesBackgroundFillsTheMarginsUnlessTheUserChoosesOne) {
    const std::string white(3, '\xFF');
    const std::string black(3, '\x00');
    const struct {
        std::vector<std::string> types;
        std::vector<std::string> options;
        std::string margin;
    } cases[] = {
        {{"--type", "dark"}, {}, black},
        {{"--type", "dark"}, {"--background", "white"}, white},
        {{"--code", "0x80000"}, {}, white},
        {{"--type", "epd"}, {}, white},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.types[1]);
        ScratchDirectory dir("background");
        WriteWholeFile(dir / "w.pgm", "P5\n3 3\n255\n" + std::string(9, '\xFF'));
        WriteWholeFile(dir / "my.prf", PROFILES);
        std::vector<std::string> args = {"convert", "--profiles", "my.prf", "--resize", "9x3"};
        args.insert(args.end(), c.types.begin(), c.types.end());
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("w.pgm");
        ASSERT_EQ(RunZtr(args, dir.path()).status, 0);
        ASSERT_EQ(RunZtr({"render", "w.ztr", "0", "-o", "r.ppm"}, dir.path()).status, 0);
        const std::string ppm = ReadWholeFile(dir / "r.ppm");
        EXPECT_EQ(PixelAt(ppm, 9, 0, 1), c.margin);
        EXPECT_EQ(PixelAt(ppm, 9, 8, 1), c.margin);
        EXPECT_EQ(PixelAt(ppm, 9, 4, 1), white); // the picture itself
    }
}

} // namespace
