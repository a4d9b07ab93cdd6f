// End-to-end tests of ztr list and ztr render against the real program: list lines,
// exit codes, exact PPM bytes, PNG pixels, and no output file on any failure.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#ifdef ZENTRA_HAVE_PNG
#include <png.h>
#endif

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) {
        bytes += static_cast<char>(v);
    }
    return bytes;
}

// Four records: a 3 x 2 two-bit picture with a palette, a 1 x 1 16-bit pixel, a 2 x 1
// 24-bit picture and a 1 x 1 24-bit delta at dx = 1; then a damaged header.
std::string SampleFile() {
    return Bytes({0x1A, 0,    0,    0,    0x02, 0xA2, 0x40, 2,    3,    0, 2, 0, // header
                  0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90,          // palette
                  0xA0, 0xB0, 0xC0,                                              //
                  0x18, 0xE4}) +                                                 // 0 1 2 / 3 2 1
           Bytes({0x0E, 0, 0, 0, 0x02, 0xA2, 0x00, 16, 1, 0, 1, 0, 0x51, 0x2A}) +
           Bytes({0x12, 0, 0, 0, 0x02, 0xA2, 0x00, 24, 2, 0, 1, 0, 1, 2, 3, 4, 5, 6}) +
           Bytes({0x15, 0,    0,   0, 0x02, 0xA2, 0x20, 24, 1, 0, 1, 0, 100, 0, 1, 0, 0, 0, //
                  0x0A, 0x0B, 0x0C}) +
           Bytes({0x0E, 0, 0, 0, 0x02, 0xA3, 0x00, 8, 1, 0, 1, 0, 0x77, 0x77});
}

TEST(ZtrList, PrintsOneLinePerRecordUpToTheDamage) {
    ScratchDirectory dir("list");
    WriteWholeFile(dir / "sample.ztr", SampleFile());
    const ZtrResult result = RunZtr({"list", "sample.ztr"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "WARNING: file 'sample.ztr' has 14 bytes after its last record "
                          "(record 3) that are no record\n");
    EXPECT_EQ(result.out,
              "3 x 2, colour depth 2 bits, layout 00 [row order]\n"
              "1 x 1, colour depth 16 bits, layout 00 [row order]\n"
              "2 x 1, colour depth 24 bits, layout 00 [row order]\n"
              "1 x 1, colour depth 24 bits, delta frame 100ms [dx=1, dy=0], layout 00 [row "
              "order]\n");
}

// The sample's first four records with the last byte of the fourth cut off: the cut
// record is listed, and renders with the missing byte read as 0 and list's warning.
TEST(ZtrList, ListsAndRendersACutLastRecord) {
    ScratchDirectory dir("list-cut");
    const std::string sample = SampleFile();
    WriteWholeFile(dir / "cut.ztr", sample.substr(0, 0x1A + 0x0E + 0x12 + 0x15 - 1));
    const ZtrResult list = RunZtr({"list", "cut.ztr"}, dir.path());
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, "WARNING: file 'cut.ztr' is cut short: record 3 lacks its last 1 bytes\n");
    EXPECT_EQ(list.out, "3 x 2, colour depth 2 bits, layout 00 [row order]\n"
                        "1 x 1, colour depth 16 bits, layout 00 [row order]\n"
                        "2 x 1, colour depth 24 bits, layout 00 [row order]\n"
                        "1 x 1, colour depth 24 bits, delta frame 100ms [dx=1, dy=0], layout 00 "
                        "[row order]\n");
    // Stored bytes 0A 0B (0C cut off): blue 0A, green 0B, red 0.
    const struct {
        std::vector<std::string> options;
        std::string ppm;
        std::string err;
    } cases[] = {
        {{"3"}, "P6\n1 1\n255\n" + Bytes({0x00, 0x0B, 0x0A}), list.err},
        {{"3", "--buildup"}, "P6\n2 1\n255\n" + Bytes({3, 2, 1, 0x00, 0x0B, 0x0A}), list.err},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render", "cut.ztr"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"-o", "out.ppm"});
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(ReadWholeFile(dir / "out.ppm"), c.ppm) << c.options.size();
    }
    // Records before the cut one draw without it; a range warns when it reaches it.
    for (const auto& [which, err] :
         {std::pair{"2", ""}, std::pair{"1-2", ""}, std::pair{"2-3", list.err.c_str()}}) {
        const ZtrResult result = RunZtr({"render", "cut.ztr", which, "-o", "f%d.ppm"}, dir.path());
        EXPECT_EQ(result.status, 0) << which;
        EXPECT_EQ(result.err, err) << which;
    }
}

TEST(ZtrList, ExitCodes) {
    ScratchDirectory dir("list-exit");
    WriteWholeFile(dir / "empty.ztr", "");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"list", "empty.ztr"}, 1, "ztr: file 'empty.ztr' is not a Zentra file\n"},
        {{"list", "missing.ztr"},
         1,
         "ztr: cannot open 'missing.ztr'\n  No such file or directory\n"},
        {{"list"}, 2, "ztr: no file given\nTry 'ztr --help' for more information.\n"},
        {{"list", "a.ztr", "b.ztr"},
         2,
         "ztr: more than one file given\nTry 'ztr --help' for more information.\n"},
        {{"list", "--all", "a.ztr"},
         2,
         "ztr: unknown option '--all'\nTry 'ztr --help' for more information.\n"},
    };
    for (const auto& c : cases) {
        const ZtrResult result = RunZtr(c.args, dir.path());
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

// What is no Zentra file is refused by list and export alike, and no header is written;
// a cut or damaged Zentra file is listed with a warning naming the record, and exported
// with it when its records are whole (a cut one export refuses).
TEST(ZtrList, RefusesWhatIsNoZentraFileAndWarnsAboutDamage) {
    ScratchDirectory dir("list-not-zentra");
    const std::string tiny = Bytes({0x0E, 0, 0, 0, 0x02, 0xA2, 0x00, 1, 10, 0, 1, 0, 0xFF, 0xC0});
    const std::string png =
        Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H',
               'D',  'R', 0,   0,   0,    7,    0,    0,    0, 5, 8, 0,  0,   0});
    WriteWholeFile(dir / "camera.png", png);
    WriteWholeFile(dir / "empty.ztr", "");
    WriteWholeFile(dir / "short.ztr", tiny.substr(0, 11));
    WriteWholeFile(dir / "cut.ztr", tiny + tiny.substr(0, 13));
    WriteWholeFile(dir / "tail.ztr", tiny + "tail");
    fs::create_directories(dir / "somefolder");
    const struct {
        const char* file;
        int status;
        int lines; // list lines
        std::string err;
    } cases[] = {
        {"camera.png", 1, 0, "ztr: file 'camera.png' is not a Zentra file\n"},
        {"empty.ztr", 1, 0, "ztr: file 'empty.ztr' is not a Zentra file\n"},
        {"short.ztr", 1, 0, "ztr: file 'short.ztr' is not a Zentra file\n"},
        {"somefolder", 1, 0, "ztr: 'somefolder' is a folder, not a Zentra file\n"},
        {"cut.ztr", 0, 2,
         "WARNING: file 'cut.ztr' is cut short: record 1 lacks its last 1 bytes\n"},
        {"tail.ztr", 0, 1,
         "WARNING: file 'tail.ztr' has 4 bytes after its last record (record 0) that are no "
         "record\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const ZtrResult list = RunZtr({"list", c.file}, dir.path());
        EXPECT_EQ(list.status, c.status);
        EXPECT_EQ(list.err, c.err);
        EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), c.lines);
        const bool cut = c.file == std::string("cut.ztr");
        const ZtrResult exported = RunZtr({"export", c.file, "-o", "c.h"}, dir.path());
        EXPECT_EQ(exported.status, cut ? 1 : c.status);
        EXPECT_EQ(exported.err, cut ? c.err + "ztr: 'cut.ztr' is not exported: the device "
                                              "library would find its record 1 damaged "
                                              "(--keep-cut exports the whole records before it)\n"
                                    : c.err);
        EXPECT_EQ(fs::exists(dir / "c.h"), c.status == 0 && !cut);
        if (c.status == 0 && !cut) {
            EXPECT_NE(ReadWholeFile(dir / "c.h").find(" *   0: 10 x 1 monochrome"),
                      std::string::npos);
        }
        fs::remove(dir / "c.h");
    }
}

TEST(ZtrRender, WritesThePixelsAsPpm) {
    ScratchDirectory dir("render-ppm");
    WriteWholeFile(dir / "sample.ztr", SampleFile());
    const std::string header3x2 = "P6\n3 2\n255\n";
    const struct {
        std::vector<std::string> options;
        std::string ppm;
    } cases[] = {
        {{"0"},
         header3x2 + Bytes({0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, //
                            0xA0, 0xB0, 0xC0, 0x70, 0x80, 0x90, 0x40, 0x50, 0x60})},
        {{"0", "--invert"},
         header3x2 + Bytes({0xEF, 0xDF, 0xCF, 0xBF, 0xAF, 0x9F, 0x8F, 0x7F, 0x6F, //
                            0x5F, 0x4F, 0x3F, 0x8F, 0x7F, 0x6F, 0xBF, 0xAF, 0x9F})},
        {{"1"}, "P6\n1 1\n255\n" + Bytes({41, 73, 140})}, // RGB565 2A51
        {{"2", "--zoom", "2"}, "P6\n4 2\n255\n" + Bytes({3, 2, 1, 3, 2, 1, 6, 5, 4, 6, 5, 4, //
                                                         3, 2, 1, 3, 2, 1, 6, 5, 4, 6, 5, 4})},
        {{"3"}, "P6\n1 1\n255\n" + Bytes({0x0C, 0x0B, 0x0A})},
        {{"--buildup", "3"}, "P6\n2 1\n255\n" + Bytes({3, 2, 1, 0x0C, 0x0B, 0x0A})},
        {{"2", "--buildup"}, "P6\n2 1\n255\n" + Bytes({3, 2, 1, 6, 5, 4})},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render", "sample.ztr"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"-o", "out.ppm"});
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(ReadWholeFile(dir / "out.ppm"), c.ppm) << c.options[0];
        fs::remove(dir / "out.ppm");
    }
}

#ifdef ZENTRA_HAVE_PNG
TEST(ZtrRender, WritesPng) {
    ScratchDirectory dir("render-png");
    WriteWholeFile(dir / "sample.ztr", SampleFile());
    const ZtrResult result =
        RunZtr({"render", "sample.ztr", "0", "--zoom", "3", "-o", "out.PNG"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string png = ReadWholeFile(dir / "out.PNG");
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
    EXPECT_EQ(image.width, 9u);
    EXPECT_EQ(image.height, 6u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    // The palette picture 0 1 2 / 3 2 1, each pixel 3 x 3 times.
    const std::string palette[4] = {Bytes({0x10, 0x20, 0x30}), Bytes({0x40, 0x50, 0x60}),
                                    Bytes({0x70, 0x80, 0x90}), Bytes({0xA0, 0xB0, 0xC0})};
    const int picture[2][3] = {{0, 1, 2}, {3, 2, 1}};
    std::string want;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 9; ++x) {
            want += palette[picture[y / 3][x / 3]];
        }
    }
    EXPECT_EQ(std::string(rgb.begin(), rgb.end()), want);
}
#endif

// The 3 x 2 picture red, green, blue / white, 1045A5, A5BA18 as hand-coded records. At 16
// bits it is F800 07E0 001F / FFFF 1234 A5C3, each channel widened by repeating its top
// bits (1234: red 2 -> 16, green 17 -> 69, blue 20 -> 165); at 24 bits it is exact.
TEST(ZtrRender, ShowsColourRecordsInTheirColours) {
    ScratchDirectory dir("render-colour");
    const std::string ppm = "P6\n3 2\n255\n" + Bytes({0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, //
                                                      0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, //
                                                      0x10, 0x45, 0xA5, 0xA5, 0xBA, 0x18});
    const struct {
        const char* name;
        std::string record;
    } cases[] = {
        // Stored 00 F8 E0 07 1F 00 / FF FF 34 12 C3 A5: low byte first.
        {"16-bit rows",
         Bytes({0x1A, 0,    0,    0,    0x02, 0xA2, 0x00, 16,   3,    0,    2,    0,    0x00,
                0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x00, 0x34, 0x12, 0xC3, 0xA5})},
        // Stored F8 00 07 E0 00 1F / FF FF 12 34 A5 C3: high byte first.
        {"16-bit rows reversed",
         Bytes({0x19, 0,    0,    0,    0x02, 0xA2, 0x04, 16,   3,    0,    2,    0,   0xF8,
                0x00, 0x07, 0xE0, 0x00, 0x1F, 0xFF, 0xFF, 0x00, 0x12, 0x34, 0xA5, 0xC3})},
        // Column by column, high byte first: F8 00 FF FF, 07 E0 12 34, 00 1F A5 C3.
        {"16-bit columns",
         Bytes({0x19, 0,    0,    0,    0x02, 0xA2, 0x01, 16,   3,    0,    2,    0,   0xF8,
                0x00, 0xFF, 0xFF, 0x00, 0x07, 0xE0, 0x12, 0x34, 0x00, 0x1F, 0xA5, 0xC3})},
        // Blue, green, red: 00 00 FF 00 FF 00 FF 00 00 / FF FF FF A5 45 10 18 BA A5.
        {"24-bit rows", Bytes({0x1F, 0,    0,    0,    0x02, 0xA2, 0x00, 24,   3,    0,    2,
                               0,    0x00, 0x01, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00,
                               0xFF, 0xFF, 0x01, 0xA5, 0x45, 0x10, 0x18, 0xBA, 0xA5})},
        // Column by column, blue first: 00 00 FF FF FF FF, 00 FF 00 A5 45 10, FF 00 00 18 BA A5.
        {"24-bit columns reversed",
         Bytes({0x1E, 0,    0,    0,    0x02, 0xA2, 0x05, 24,   3,    0,
                2,    0,    0x00, 0x01, 0xFF, 0xFF, 0x02, 0x00, 0xFF, 0x00,
                0xA5, 0x45, 0x10, 0xFF, 0x00, 0x00, 0x00, 0x18, 0xBA, 0xA5})},
    };
    for (const auto& c : cases) {
        WriteWholeFile(dir / "colour.ztr", c.record);
        const ZtrResult result = RunZtr({"render", "colour.ztr", "0", "-o", "out.ppm"}, dir.path());
        EXPECT_EQ(result.status, 0) << c.name << ": " << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "out.ppm"), ppm) << c.name;
    }
}

TEST(ZtrRender, FailuresWriteNoFile) {
    ScratchDirectory dir("render-fail");
    WriteWholeFile(dir / "sample.ztr", SampleFile());
    // A planar record of 16 bits (colour has no bit planes), one of depth 3, one of 0 x 0
    // pixels and one of 65535 x 65535 at 24 bits.
    WriteWholeFile(dir / "other.ztr",
                   Bytes({0x0D, 0, 0, 0, 0x02, 0xA2, 0x08, 16, 1, 0, 1, 0, 0xFF}) +
                       Bytes({0x0D, 0, 0, 0, 0x02, 0xA2, 0x00, 3, 1, 0, 1, 0, 0x55}) +
                       Bytes({0x0C, 0, 0, 0, 0x02, 0xA2, 0x00, 8, 0, 0, 0, 0}) +
                       Bytes({0x0C, 0, 0, 0, 0x02, 0xA2, 0x00, 24, 0xFF, 0xFF, 0xFF, 0xFF}));
    WriteWholeFile(dir / "keep.ppm", "old");
    const std::string hint = "\nTry 'ztr --help' for more information.\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"sample.ztr", "4", "-o", "new.ppm"}, 1, "ztr: no record 4 in 'sample.ztr'\n"},
        {{"sample.ztr", "-1", "-o", "new.ppm"}, 1, "ztr: no record -1 in 'sample.ztr'\n"},
        {{"sample.ztr", "+4", "-o", "new.ppm"}, 1, "ztr: no record 4 in 'sample.ztr'\n"},
        {{"sample.ztr", "-7", "-o", "new.ppm"}, 1, "ztr: no record -7 in 'sample.ztr'\n"},
        {{"missing.ztr", "0", "-o", "new.ppm"},
         1,
         "ztr: cannot open 'missing.ztr'\n  No such file or directory\n"},
        {{"sample.ztr", "9", "-o", "keep.ppm"}, 1, "ztr: no record 9 in 'sample.ztr'\n"},
        {{"other.ztr", "0", "-o", "new.ppm"},
         1,
         "ztr: record 0 of 'other.ztr' is planar and is not shown\n"},
        {{"other.ztr", "1", "--buildup", "-o", "new.ppm"},
         1,
         "ztr: record 1 of 'other.ztr' has a colour depth that is not shown\n"},
        {{"other.ztr", "2", "-o", "new.ppm"},
         1,
         "ztr: record 2 of 'other.ztr' has nothing to show\n"},
        {{"other.ztr", "3", "-o", "new.ppm"},
         1,
         "ztr: record 3 of 'other.ztr' is too large to show\n"},
        {{"other.ztr", "4", "-o", "keep.ppm"}, 1, "ztr: no record 4 in 'other.ztr'\n"},
        {{"sample.ztr", "0"}, 2, "ztr: no output file given (use -o OUT)" + hint},
        {{"sample.ztr", "-o", "new.ppm"}, 2, "ztr: no record index given" + hint},
        {{"-o", "new.ppm"}, 2, "ztr: no file given" + hint},
        {{"sample.ztr", "x", "-o", "new.ppm"}, 2, "ztr: invalid record index 'x'" + hint},
        {{"sample.ztr", "0", "1", "-o", "new.ppm"}, 2, "ztr: too many arguments" + hint},
        {{"sample.ztr", "0", "--zoom", "0", "-o", "new.ppm"},
         2,
         "ztr: invalid zoom '0' (1 to 64)" + hint},
        {{"sample.ztr", "0", "-o", "new.ppm", "--zoom"},
         2,
         "ztr: option '--zoom' needs a value" + hint},
        {{"sample.ztr", "0", "--fast", "-o", "new.ppm"}, 2, "ztr: unknown option '--fast'" + hint},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_FALSE(fs::exists(dir / "new.ppm")) << c.err;
    }
    EXPECT_EQ(ReadWholeFile(dir / "keep.ppm"), "old");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3u); // sample.ztr, other.ztr, keep.ppm: no temporary file left behind
}

TEST(ZtrRender, ShowsWhatConvertWrote) {
    ScratchDirectory dir("render-convert");
    WriteWholeFile(dir / "pic.pbm", "P1\n3 2\n1 0 1\n0 1 1\n");
    ASSERT_EQ(RunZtr({"convert", "--code", "0x10012", "pic.pbm"}, dir.path()).status, 0);
    const ZtrResult list = RunZtr({"list", "pic.ztr"}, dir.path());
    EXPECT_EQ(list.out, "3 x 2 monochrome, layout 12 [banded rows, inverted Y-axis]\n");
    ASSERT_EQ(RunZtr({"render", "pic.ztr", "0", "-o", "pic.ppm"}, dir.path()).status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "pic.ppm"),
              "P6\n3 2\n255\n" + Bytes({0, 0, 0, 255, 255, 255, 0, 0, 0, //
                                        255, 255, 255, 0, 0, 0, 0, 0, 0}));
}

TEST(ZtrRender, ShowsGreyRecordsConvertWrote) {
    ScratchDirectory dir("render-grey");
    WriteWholeFile(dir / "pic.pgm", "P2\n3 2\n255\n0 85 170\n255 64 200\n");
    ASSERT_EQ(
        RunZtr({"convert", "--code", "0x20000", "--code", "0x40003", "pic.pgm"}, dir.path()).status,
        0);
    const ZtrResult list = RunZtr({"list", "pic.ztr"}, dir.path());
    EXPECT_EQ(list.out, "3 x 2, colour depth 2 bits, layout 00 [row order]\n"
                        "3 x 2, colour depth 4 bits, layout 03 [banded columns]\n");
    // Each grey's top bits are its level: 0 1 2 / 3 1 3 shown with the 2-bit grey table
    // (0, 64, 128, 255), and 0 5 10 / 15 4 12 with the 4-bit one (16 per step, 15 white).
    const std::pair<const char*, std::string> records[] = {
        {"0",
         Bytes({0, 0, 0, 64, 64, 64, 128, 128, 128, 255, 255, 255, 64, 64, 64, 255, 255, 255})},
        {"1",
         Bytes({0, 0, 0, 80, 80, 80, 160, 160, 160, 255, 255, 255, 64, 64, 64, 192, 192, 192})},
    };
    for (const auto& [index, pixels] : records) {
        ASSERT_EQ(RunZtr({"render", "pic.ztr", index, "-o", "pic.ppm"}, dir.path()).status, 0);
        EXPECT_EQ(ReadWholeFile(dir / "pic.ppm"), "P6\n3 2\n255\n" + pixels) << index;
    }
}

} // namespace
