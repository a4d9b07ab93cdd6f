// ztr convert warns about each option that cannot change the file, and only about those:
// every case converts a bitmap with a colour table with the option and with a reference
// command line, and the files must be equal exactly when ztr says the option does nothing
// (or only what --tone luminance does).
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path SAMPLES = fs::path(ZENTRA_TEST_DATA) / ".." / ".." / "data" / "samples";

TEST(ZtrIdleOptions, WarnsAboutEachOptionThatDoesNothing) {
    ScratchDirectory dir("idle");
    fs::copy_file(SAMPLES / "palette_67x41.bmp", dir / "pic.bmp");
    const std::string luminanceOnly = "; it only makes bitmaps with a colour table read by "
                                      "luminance, as --tone luminance does";
    const struct {
        std::vector<std::string> args;      // the options and types
        std::vector<std::string> reference; // what they must equal, or differ from
        bool same;
        std::string warnings;
    } cases[] = {
        {{"--fit", "cover", "--code", "0x10006"},
         {"--code", "0x10006"},
         true,
         "WARNING: --fit has no effect without --resize\n"},
        {{"--threshold", "50", "--code", "0x100004", "--code", "0x180000"},
         {"--code", "0x100004", "--code", "0x180000"},
         true,
         "WARNING: --threshold has no effect on colour display types (depths 16 and 24)\n"},
        {{"--threshold", "auto", "--code", "0x20000"},
         {"--tone", "luminance", "--code", "0x20000"},
         true,
         "WARNING: --threshold acts only at depth 1, and no display type has depth 1" +
             luminanceOnly + "\n"},
        {{"--dither", "bayer4", "--threshold", "50", "--code", "0x20000"},
         {"--dither", "bayer4", "--code", "0x20000"},
         true,
         "WARNING: --threshold acts only at depth 1, and no display type has depth 1\n"},
        {{"--dither", "atkinson", "--code", "0x180000"},
         {"--code", "0x180000"},
         true,
         "WARNING: --dither has no effect at depths 8 and 24, which keep every level\n"},
        {{"--dither", "atkinson", "--code", "0x80000", "--code", "0x180000"},
         {"--tone", "luminance", "--code", "0x80000", "--code", "0x180000"},
         true,
         "WARNING: --dither has no effect at depths 8 and 24, which keep every level" +
             luminanceOnly + "\n"},
        {{"--tone", "luminance", "--code", "0x100004"},
         {"--code", "0x100004"},
         true,
         "WARNING: --tone has no effect on colour display types (depths 16 and 24)\n"},
        {{"--invert", "--tone", "luminance", "--code", "0x80000"},
         {"--invert", "--code", "0x80000"},
         true,
         "WARNING: --tone has no effect with --resize, --invert, --threshold or --dither, which "
         "read colour tables by luminance\n"},
        {{"--delay", "40", "--code", "0x10006"},
         {"--code", "0x10006"},
         true,
         "WARNING: --delay has no effect without --animation\n"},
        {{"--window", "frame", "--coding", "squash", "--code", "0x10006"},
         {"--coding", "squash", "--code", "0x10006"},
         true,
         "WARNING: --window has no effect without --coding auto\n"},
        {{"--window", "frame", "--coding", "auto", "--code", "0x80000"},
         {"--coding", "auto", "--code", "0x80000"},
         true,
         "WARNING: --window acts only at depths 1, 2 and 4, and no display type has them\n"},
        // Options that act are not warned about.
        {{"--threshold", "50", "--code", "0x10006", "--code", "0x100004"},
         {"--tone", "luminance", "--code", "0x10006", "--code", "0x100004"},
         false,
         ""},
        {{"--dither", "bayer4", "--code", "0x100004"}, {"--code", "0x100004"}, false, ""},
        {{"--dither", "bayer4", "--palette", "bwr", "--code", "0x180000"},
         {"--palette", "bwr", "--code", "0x180000"},
         false,
         ""},
        {{"--fit", "cover", "--resize", "30x20", "--code", "0x10006"},
         {"--resize", "30x20", "--code", "0x10006"},
         false,
         ""},
        {{"--tone", "luminance", "--code", "0x80000"}, {"--code", "0x80000"}, false, ""},
        {{"--invert", "--code", "0x100004"}, {"--code", "0x100004"}, false, ""},
        {{"--animation", "--delay", "40", "--code", "0x10006"},
         {"--animation", "--code", "0x10006"},
         false,
         ""},
        {{"--window", "frame", "--coding", "auto", "--resize", "300x200", "--code", "0x10000"},
         {"--coding", "auto", "--resize", "300x200", "--code", "0x10000"},
         false,
         ""},
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const std::string& arg : c.args) {
            trace += arg + " ";
        }
        SCOPED_TRACE(trace);
        std::vector<std::string> args = {"convert", "-o", "with.ztr"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back("pic.bmp");
        const ZtrResult with = RunZtr(args, dir.path());
        EXPECT_EQ(with.status, 0);
        EXPECT_EQ(with.err, c.warnings);
        std::vector<std::string> reference = {"convert", "-o", "reference.ztr"};
        reference.insert(reference.end(), c.reference.begin(), c.reference.end());
        reference.push_back("pic.bmp");
        const ZtrResult without = RunZtr(reference, dir.path());
        EXPECT_EQ(without.status, 0);
        EXPECT_EQ(without.err, "");
        EXPECT_EQ(ReadWholeFile(dir / "with.ztr") == ReadWholeFile(dir / "reference.ztr"), c.same);
    }
}

} // namespace
