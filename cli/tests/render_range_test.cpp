// End-to-end tests of ztr render FIRST-LAST against the real program: every picture of a
// range equals the single record rendered built up, the pattern names the files as printf
// would, and wrong ranges, wrong patterns and the input file as an output name are refused
// before anything is written.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// An odd-sized PGM whose block at (x0, y0) is bright, over a sloped background.
std::string BlockPgm(int x0, int y0) {
    const int width = 11;
    const int height = 7;
    std::string bytes = "P5\n11 7\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool block = x >= x0 && x < x0 + 3 && y >= y0 && y < y0 + 2;
            bytes += static_cast<char>(block ? 250 : (x * 19 + y * 7) & 0x7F);
        }
    }
    return bytes;
}

// Three pictures and the first again, for three display types (8-bit rows, 1-bit banded
// rows with inverted Y-axis, 4-bit columns): records 0-3, 4-7 and 8-11, 0, 4 and 8 full.
void MakeAnimation(const ScratchDirectory& dir) {
    WriteWholeFile(dir / "a.pgm", BlockPgm(1, 1));
    WriteWholeFile(dir / "b.pgm", BlockPgm(5, 2));
    WriteWholeFile(dir / "c.pgm", BlockPgm(7, 4));
    ASSERT_EQ(RunZtr({"convert", "--animation", "--code", "0x80000", "--code", "0x10012", "--code",
                      "0x40001", "a.pgm", "b.pgm", "c.pgm"},
                     dir.path())
                  .status,
              0);
}

std::set<std::string> Entries(const ScratchDirectory& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(ZtrRenderRange, EachPictureIsTheRecordBuiltUp) {
    ScratchDirectory dir("range-frames");
    MakeAnimation(dir);
    const struct {
        std::string range;
        int first;
        int last;
        std::vector<std::string> options;
    } cases[] = {
        {"0-11", 0, 11, {}},
        {"2-9", 2, 9, {"--zoom", "3", "--invert"}},
        {"5-5", 5, 5, {"--buildup"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render", "a.ztr", c.range, "-o", "out/f%02d.ppm"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        fs::create_directory(dir / "out");
        const ZtrResult result = RunZtr(args, dir.path());
        ASSERT_EQ(result.status, 0) << c.range << ": " << result.err;
        EXPECT_EQ(result.err, "");
        std::size_t written = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "out")) {
            ++written;
        }
        EXPECT_EQ(written, static_cast<std::size_t>(c.last - c.first + 1)) << c.range;
        for (int index = c.first; index <= c.last; ++index) {
            std::vector<std::string> single = {"render",    "a.ztr", std::to_string(index),
                                               "--buildup", "-o",    "single.ppm"};
            single.insert(single.end(), c.options.begin(), c.options.end());
            ASSERT_EQ(RunZtr(single, dir.path()).status, 0);
            char name[32];
            std::snprintf(name, sizeof name, "out/f%02d.ppm", index);
            const std::string picture = ReadWholeFile(dir / name);
            EXPECT_FALSE(picture.empty()) << name;
            EXPECT_EQ(picture, ReadWholeFile(dir / "single.ppm")) << c.range << ": " << name;
        }
        fs::remove_all(dir / "out");
    }
}

// The names against the C library's own printf; PNG or PPM by the pattern's extension.
TEST(ZtrRenderRange, ThePatternNamesTheFilesAsPrintfDoes) {
    ScratchDirectory dir("range-names");
    MakeAnimation(dir);
    std::vector<std::string> patterns = {"f%d.ppm",    "f%03d.ppm",   "f%-4d.ppm",  "f%+d.ppm",
                                         "f% i.ppm",   "f%+05i.ppm",  "f%-+5d.ppm", "f%u.ppm",
                                         "f%+ 4u.ppm", "%%f%u%%.ppm", "f%0-3d.ppm"};
#ifdef ZENTRA_HAVE_PNG
    patterns.push_back("f%2u.PNG");
#endif
    for (const std::string& pattern : patterns) {
        fs::create_directory(dir / "out");
        const ZtrResult result =
            RunZtr({"render", "a.ztr", "8-10", "-o", "out/" + pattern}, dir.path());
        ASSERT_EQ(result.status, 0) << pattern << ": " << result.err;
        std::set<std::string> expected;
        for (int index = 8; index <= 10; ++index) {
            char name[64];
            std::snprintf(name, sizeof name, pattern.c_str(), index);
            expected.insert(name);
        }
        std::set<std::string> written;
        for (const auto& entry : fs::directory_iterator(dir / "out")) {
            written.insert(entry.path().filename().string());
            const std::string head = ReadWholeFile(entry.path()).substr(0, 4);
            EXPECT_EQ(head, entry.path().extension() == ".PNG" ? "\x89PNG" : "P6\n1") << pattern;
        }
        EXPECT_EQ(written, expected) << pattern;
        fs::remove_all(dir / "out");
    }
    // Worked by hand.
    fs::create_directory(dir / "out");
    ASSERT_EQ(RunZtr({"render", "a.ztr", "9-10", "-o", "out/%%%+04d-%%.ppm"}, dir.path()).status,
              0);
    EXPECT_TRUE(fs::exists(dir / "out" / "%+009-%.ppm"));
    EXPECT_TRUE(fs::exists(dir / "out" / "%+010-%.ppm"));
}

TEST(ZtrRenderRange, RefusalsWriteNothing) {
    ScratchDirectory dir("range-refused");
    MakeAnimation(dir);
    // A planar 16-bit record (colour has no bit planes) after two 1 x 1 8-bit records: the
    // run stops there.
    auto record = [](std::initializer_list<int> bytes) {
        std::string text;
        for (const int b : bytes) {
            text += static_cast<char>(b);
        }
        return text;
    };
    WriteWholeFile(dir / "planar.ztr",
                   record({0x0D, 0, 0, 0, 0x02, 0xA2, 0x00, 8, 1, 0, 1, 0, 0x40}) +
                       record({0x0D, 0, 0, 0, 0x02, 0xA2, 0x00, 8, 1, 0, 1, 0, 0x80}) +
                       record({0x0E, 0, 0, 0, 0x02, 0xA2, 0x08, 16, 1, 0, 1, 0, 0x12, 0x34}));
    fs::copy_file(dir / "a.ztr", dir / "f3.ztr");
    const std::string hint = "\nTry 'ztr --help' for more information.\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
        std::set<std::string> written;
    } cases[] = {
        {{"a.ztr", "3-1", "-o", "f%d.ppm"},
         2,
         "ztr: invalid record range '3-1' (FIRST-LAST, counted from 0, FIRST not above LAST)" +
             hint,
         {}},
        {{"a.ztr", "1-x", "-o", "f%d.ppm"},
         2,
         "ztr: invalid record range '1-x' (FIRST-LAST, counted from 0, FIRST not above LAST)" +
             hint,
         {}},
        {{"a.ztr", "1-2-3", "-o", "f%d.ppm"},
         2,
         "ztr: invalid record range '1-2-3' (FIRST-LAST, counted from 0, FIRST not above LAST)" +
             hint,
         {}},
        {{"a.ztr", "0-3"}, 2, "ztr: no output name pattern given (use -o PATTERN)" + hint, {}},
        {{"a.ztr", "0-3", "-o", "f.ppm"},
         2,
         "ztr: invalid output name pattern 'f.ppm': no %d, %i or %u for the record index" + hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%d%u.ppm"},
         2,
         "ztr: invalid output name pattern 'f%d%u.ppm': more than one %d, %i or %u" + hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%256d.ppm"},
         2,
         "ztr: invalid output name pattern 'f%256d.ppm': a width above 255" + hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%ld.ppm"},
         2,
         "ztr: invalid output name pattern 'f%ld.ppm': a conversion other than %d, %i or %u "
         "(with flags - + space 0 and a width)" +
             hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%.3d.ppm"},
         2,
         "ztr: invalid output name pattern 'f%.3d.ppm': a conversion other than %d, %i or %u "
         "(with flags - + space 0 and a width)" +
             hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%#x%%.ppm"},
         2,
         "ztr: invalid output name pattern 'f%#x%%.ppm': a conversion other than %d, %i or %u "
         "(with flags - + space 0 and a width)" +
             hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%s.ppm"},
         2,
         "ztr: invalid output name pattern 'f%s.ppm': a conversion other than %d, %i or %u "
         "(with flags - + space 0 and a width)" +
             hint,
         {}},
        {{"a.ztr", "0-3", "-o", "f%5"},
         2,
         "ztr: invalid output name pattern 'f%5': a conversion other than %d, %i or %u "
         "(with flags - + space 0 and a width)" +
             hint,
         {}},
        {{"a.ztr", "10-12", "-o", "f%d.ppm"}, 1, "ztr: no record 12 in 'a.ztr'\n", {}},
        {{"missing.ztr", "0-1", "-o", "f%d.ppm"},
         1,
         "ztr: cannot open 'missing.ztr'\n  No such file or directory\n",
         {}},
        {{"f3.ztr", "0-5", "-o", "f%d.ztr"},
         1,
         "ztr: the output 'f3.ztr' would write over the input 'f3.ztr'\n",
         {}},
        {{"f3.ztr", "0-5", "-o", "./f%u.ztr"},
         1,
         "ztr: the output './f3.ztr' would write over the input 'f3.ztr'\n",
         {}},
        {{"a.ztr", "2", "-o", "a.ztr"},
         1,
         "ztr: the output 'a.ztr' would write over the input 'a.ztr'\n",
         {}},
        {{"planar.ztr", "0-2", "-o", "p%d.ppm"},
         1,
         "ztr: record 2 of 'planar.ztr' is planar and is not shown\n",
         {"p0.ppm", "p1.ppm"}},
    };
    const std::set<std::string> before = Entries(dir);
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
        std::set<std::string> expected = before;
        expected.insert(c.written.begin(), c.written.end());
        EXPECT_EQ(Entries(dir), expected) << c.err;
        for (const std::string& name : c.written) {
            fs::remove(dir / name);
        }
    }
    EXPECT_EQ(ReadWholeFile(dir / "f3.ztr"), ReadWholeFile(dir / "a.ztr"));
}

} // namespace
