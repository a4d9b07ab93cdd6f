// ztr probe: one record per lay-out, all decoding to the same test picture but for its
// number, the table of codes on standard output, and its command-line errors.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

TEST(ZtrProbe, EveryLayoutShowsTheSamePicture) {
    ScratchDirectory dir("probe");
    const struct {
        std::vector<std::string> args;
        const char* file;
        std::size_t records;
        const char* line; // the table's line for record 1
    } cases[] = {
        {{"probe", "37x21"}, "probe.ztr", 16, "1\t0x10001\t37 x 21 monochrome, layout 0x01"},
        {{"probe", "--depth", "4", "37x21", "-o", "grey.ztr"},
         "grey.ztr",
         16,
         "1\t0x40001\t37 x 21, colour depth 4 bits, layout 0x01"},
        {{"probe", "37x21", "--depth", "8", "-o", "grey.ztr"},
         "grey.ztr",
         4,
         "1\t0x80001\t37 x 21, colour depth 8 bits, layout 0x01"},
        {{"probe", "37x21", "--depth", "16", "-o", "colour.ztr"},
         "colour.ztr",
         8,
         "1\t0x100001\t37 x 21, colour depth 16 bits, layout 0x01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const ZtrResult result = RunZtr(c.args, dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const std::vector<std::string> table = Lines(result.out);
        ASSERT_EQ(table.size(), c.records);
        EXPECT_TRUE(table[1].starts_with(c.line)) << table[1];
        // The table gives each record's list line for people, the lay-out in 0x hexadecimal.
        const std::vector<std::string> listed =
            Lines(RunZtr({"list", "--verbose", c.file}, dir.path()).out);
        ASSERT_EQ(listed.size(), c.records);
        // Each record decodes to the same picture but for the number at the bottom right
        // (here the rows from 12 on, right of column 20).
        std::string first;
        for (std::size_t k = 0; k < c.records; ++k) {
            EXPECT_NE(table[k].find(listed[k]), std::string::npos) << table[k];
            ASSERT_EQ(
                RunZtr({"render", c.file, std::to_string(k), "-o", "r.ppm"}, dir.path()).status, 0);
            std::string picture = ReadWholeFile(dir / "r.ppm");
            const std::size_t header = std::string("P6\n37 21\n255\n").size();
            ASSERT_EQ(picture.size(), header + 37 * 21 * 3);
            for (std::size_t y = 12; y < 21; ++y) {
                for (std::size_t x = 21; x < 37; ++x) {
                    picture.replace(header + (y * 37 + x) * 3, 3, "...");
                }
            }
            if (k == 0) {
                first = picture;
            }
            EXPECT_EQ(picture, first) << "record " << k;
        }
    }
}

TEST(ZtrProbe, CommandLineErrors) {
    ScratchDirectory dir("probe-errors");
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"probe"}, "ztr: no panel size given (WxH, for example 128x64)\n"},
        {{"probe", "7x64"}, "ztr: invalid panel size '7x64' (WxH, each side 8 to 1024)\n"},
        {{"probe", "128x1025"}, "ztr: invalid panel size '128x1025' (WxH, each side 8 to 1024)\n"},
        {{"probe", "128"}, "ztr: invalid panel size '128' (WxH, each side 8 to 1024)\n"},
        {{"probe", "128x64", "--depth", "3"}, "ztr: invalid depth '3' (1, 2, 4, 8, 16 or 24)\n"},
        {{"probe", "128x64", "64x32"}, "ztr: more than one size given\n"},
        {{"probe", "128x64", "--all"}, "ztr: unknown option '--all'\n"},
    };
    for (const auto& c : cases) {
        const ZtrResult result = RunZtr(c.args, dir.path());
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, std::string(c.error) + "Try 'ztr --help' for more information.\n");
        EXPECT_FALSE(std::filesystem::exists(dir / "probe.ztr"));
    }
}

} // namespace
