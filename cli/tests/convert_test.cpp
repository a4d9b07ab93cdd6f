// End-to-end tests of ztr's command line: help and version, usage errors, convert in
// both modes, profile lookup, and profiles, against the real program.
#include "version.h"
#include "ztr_runner.h"

#include "convert_images.h"
#include "dither_methods.h"
#include "little_endian.h"
#include "palette.h"
#include "tone.h"
#include "zentra_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

namespace fs = std::filesystem;

// A binary PGM of the given size whose samples come from a small linear generator, so
// neighbouring pixels differ and coded data does not shrink.
std::string NoisyPgm(int width, int height, std::uint32_t seed) {
    std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>((seed >> 16) & 0xFF);
    }
    return bytes;
}

// Record headers (and delta headers) of a Zentra file, walked by record length.
struct WalkedRecord {
    RecordHeader header;
    DeltaHeader delta;
};

std::vector<WalkedRecord> WalkRecords(const std::string& bytes) {
    std::vector<WalkedRecord> records;
    std::size_t offset = 0;
    while (offset + RECORD_HEADER_SIZE <= bytes.size()) {
        std::array<std::uint8_t, RECORD_HEADER_SIZE> raw{};
        for (std::size_t i = 0; i < raw.size(); ++i) {
            raw[i] = static_cast<std::uint8_t>(bytes[offset + i]);
        }
        WalkedRecord record{DecodeRecordHeader(raw), {}};
        if (record.header.signature != RECORD_SIGNATURE || record.header.recordLength < 12) {
            break;
        }
        if ((record.header.layout & RECORD_DELTA) != 0 &&
            offset + RECORD_HEADER_SIZE + DELTA_HEADER_SIZE <= bytes.size()) {
            std::array<std::uint8_t, DELTA_HEADER_SIZE> delta{};
            for (std::size_t i = 0; i < delta.size(); ++i) {
                delta[i] = static_cast<std::uint8_t>(bytes[offset + RECORD_HEADER_SIZE + i]);
            }
            record.delta = DecodeDeltaHeader(delta);
        }
        records.push_back(record);
        offset += record.header.recordLength;
    }
    return records;
}

const char* const ThreeByTwoPbm = "P1\n3 2\n1 0 1\n0 1 1\n";

TEST(ZtrCommandLine, VersionAndHelp) {
    ScratchDirectory dir("version");
    const ZtrResult version = RunZtr({"--version"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "ztr " ZENTRA_VERSION_TEXT "\n");

    const ZtrResult help = RunZtr({"--help"}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(
        help.out.find(
            "ztr convert [--profiles FILE] [--animation] [--delay MS] [-o FILE | --output-dir DIR] "
            "[--coding rle|squash|auto] [TONE OPTIONS] "
            "(--type NAME | --code CODE)... PICTURE..."),
        std::string::npos);
    EXPECT_NE(help.out.find("ztr profiles [--verbose] [--check] [FILE]"), std::string::npos);
}

// The help's words and limits come from the engine's tables: every dithering method and
// every built-in palette, in their order, and the delay and threshold the engine uses.
TEST(ZtrCommandLine, HelpListsTheEnginesWords) {
    ScratchDirectory dir("help-words");
    const std::string help = RunZtr({"--help"}, dir.path()).out;
    EXPECT_NE(help.find("  --dither " + DitherWords("|") + "\n"), std::string::npos);
    EXPECT_NE(help.find("0 to " + std::to_string(MAX_DELAY_MS) + " (default 0)"),
              std::string::npos);
    EXPECT_NE(help.find("(default " + std::to_string(DEFAULT_THRESHOLD) + "); auto"),
              std::string::npos);
    // The palette option's lines, their line breaks and indents taken out.
    const std::size_t start = help.find("  --palette NAME|FILE");
    const std::size_t end = help.find("  --colours N");
    ASSERT_LT(start, end);
    std::string palette;
    for (char c : help.substr(start, end - start)) {
        if (c == '\n' || (c == ' ' && !palette.empty() && palette.back() == ' ')) {
            c = ' ';
            if (!palette.empty() && palette.back() == ' ') {
                continue;
            }
        }
        palette += c;
    }
    EXPECT_NE(palette.find("in index order: " + BuiltInPaletteNames() + ", #RRGGBB,... or"),
              std::string::npos)
        << palette;
}

TEST(ZtrCommandLine, UsageErrorsExitTwoWithAHint) {
    ScratchDirectory dir("usage");
    WriteWholeFile(dir / "pic.pbm", ThreeByTwoPbm);
    WriteWholeFile(dir / "one.prf", "oled 2 ; 1 A page-mode OLED\n");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "ztr: no command given\n"},
        {{"frobnicate"}, "ztr: unknown command 'frobnicate'\n"},
        {{"--bogus"}, "ztr: unknown option '--bogus'\n"},
        {{"convert", "--bogus", "--code", "1", "pic.pbm"}, "ztr: unknown option '--bogus'\n"},
        {{"convert", "pic.pbm"}, "ztr: no display type given (use --type NAME or --code CODE)\n"},
        {{"convert", "--code", "0x10000"}, "ztr: no picture given\n"},
        {{"convert", "--code", "12x", "pic.pbm"}, "ztr: invalid type code '12x'\n"},
        {{"convert", "--code"}, "ztr: option '--code' needs a value\n"},
        // Codes the format has no record for: depth 0 or another unwritten depth, record-flag
        // bits among the lay-out bits, bits above the depth.
        {{"convert", "--code", "0x99", "pic.pbm"},
         "ztr: invalid type code '0x99': depth 0 (bits 16-23) is not 1, 2, 4, 8, 16 or 24\n"},
        {{"convert", "--code", "0x30000", "pic.pbm"},
         "ztr: invalid type code '0x30000': depth 3 (bits 16-23) is not 1, 2, 4, 8, 16 or 24\n"},
        {{"convert", "--code", "0x200006", "pic.pbm"},
         "ztr: invalid type code '0x200006': depth 32 (bits 16-23) is not 1, 2, 4, 8, 16 or "
         "24\n"},
        {{"convert", "--code", "0x10026", "pic.pbm"},
         "ztr: invalid type code '0x10026': lay-out bits 0x20 are not lay-out bits (0x01 to "
         "0x1F)\n"},
        {{"convert", "--code", "0x1010000", "pic.pbm"},
         "ztr: invalid type code '0x1010000': bits 24-31 (0x1) are not used\n"},
        {{"convert", "--code", "-1", "pic.pbm"},
         "ztr: invalid type code '-1': depth 255 (bits 16-23) is not 1, 2, 4, 8, 16 or 24\n"},
        {{"convert", "--delay", "ten", "--code", "1", "pic.pbm"}, "ztr: invalid delay 'ten'\n"},
        // A delay beyond the 16-bit field is refused, not wrapped.
        {{"convert", "--animation", "--delay", "65536", "--code", "1", "pic.pbm"},
         "ztr: invalid delay '65536' (0 to 65535 ms)\n"},
        {{"convert", "--delay", "-1", "--code", "1", "pic.pbm"},
         "ztr: invalid delay '-1' (0 to 65535 ms)\n"},
        {{"convert", "--delay", "99999999999999999999", "--code", "1", "pic.pbm"},
         "ztr: invalid delay '99999999999999999999' (0 to 65535 ms)\n"},
        {{"convert", "--delay", " 5", "--code", "1", "pic.pbm"}, "ztr: invalid delay ' 5'\n"},
        {{"convert", "--profiles", "one.prf", "--type", "lcd", "pic.pbm"},
         "ztr: unknown profile name 'lcd'\n"},
        {{"convert", "--coding", "zip", "--code", "1", "pic.pbm"},
         "ztr: invalid value 'zip' for option '--coding' (rle, squash or auto)\n"},
        {{"convert", "--coding", "RLE", "--code", "1", "pic.pbm"},
         "ztr: invalid value 'RLE' for option '--coding' (rle, squash or auto)\n"},
        {{"convert", "--code", "0x10000", "pic.pbm", "--coding"},
         "ztr: option '--coding' needs a value\n"},
        {{"profiles", "--long"}, "ztr: unknown option '--long'\n"},
    };
    for (const auto& c : cases) {
        const ZtrResult result = RunZtr(c.args, dir.path());
        SCOPED_TRACE(c.message);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, c.message + "Try 'ztr --help' for more information.\n");
        EXPECT_FALSE(fs::exists(dir / "pic.ztr"));
    }
}

TEST(ZtrConvert, WritesTheFileNextToThePictureWithExactBytes) {
    ScratchDirectory dir("next-to");
    fs::create_directories(dir / "art");
    WriteWholeFile(dir / "art" / "pic.pbm", ThreeByTwoPbm);

    // Banded rows, reversed, depth 1. Light pixels are 1; column bytes hold row 0 in bit
    // 7 before mirroring: columns 0x40, 0x80, 0x00 mirror to 0x02, 0x01, 0x00.
    const ZtrResult result = RunZtr({"convert", "--code", "0x10006", "art/pic.pbm"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string expected("\x0F\x00\x00\x00\x02\xA2\x06\x01\x03\x00\x02\x00\x02\x01\x00", 15);
    EXPECT_EQ(ReadWholeFile(dir / "art" / "pic.ztr"), expected);
    EXPECT_FALSE(fs::exists(dir / "pic.ztr"));
}

TEST(ZtrConvert, AnimationAddsTheFirstPictureAgainAndFlagsTheLastRecord) {
    ScratchDirectory dir("animation");
    WriteWholeFile(dir / "a.pgm", NoisyPgm(13, 7, 1));
    WriteWholeFile(dir / "b.pgm", NoisyPgm(13, 7, 2));
    WriteWholeFile(dir / "c.pgm", NoisyPgm(13, 7, 3));

    const ZtrResult result = RunZtr(
        {"convert", "--animation", "--delay", "120", "--code", "65536", "a.pgm", "b.pgm", "c.pgm"},
        dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const auto records = WalkRecords(ReadWholeFile(dir / "a.ztr"));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].header.layout, 0x00);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(records[i].header.layout & (RECORD_DELTA | RECORD_LAST_FRAME),
                  i == 3 ? RECORD_DELTA | RECORD_LAST_FRAME : RECORD_DELTA);
        EXPECT_EQ(records[i].delta.delay, 120);
    }
    EXPECT_FALSE(fs::exists(dir / "b.ztr"));
}

// The numbers every command reads follow one rule: an optional sign, decimal digits
// (--code also 0x hexadecimal and 0 octal).
TEST(ZtrConvert, DelaysFromTheEdgesOfTheFieldAreStored) {
    const struct {
        const char* delay;
        std::uint16_t stored;
    } cases[] = {{"0", 0}, {"65535", 65535}, {"+40", 40}, {"010", 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        ScratchDirectory dir("delay");
        WriteWholeFile(dir / "a.pgm", NoisyPgm(3, 2, 1));
        const ZtrResult result =
            RunZtr({"convert", "--animation", "--delay", c.delay, "--code", "+0x10000", "a.pgm"},
                   dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        const auto records = WalkRecords(ReadWholeFile(dir / "a.ztr"));
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1].delta.delay, c.stored);
    }
}

TEST(ZtrConvert, PerPictureModeStopsAtTheFirstFailure) {
    ScratchDirectory dir("per-picture");
    WriteWholeFile(dir / "a.pgm", NoisyPgm(5, 3, 1));
    WriteWholeFile(dir / "c.pgm", NoisyPgm(5, 3, 3));

    const ZtrResult result =
        RunZtr({"convert", "--code", "0x10000", "a.pgm", "missing.pgm", "c.pgm"}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        result.err,
        "ERROR: failed to open file 'missing.pgm' for reading\n  No such file or directory\n");
    // Every picture is opened before anything is written.
    EXPECT_FALSE(fs::exists(dir / "a.ztr"));
    EXPECT_FALSE(fs::exists(dir / "missing.ztr"));
    EXPECT_FALSE(fs::exists(dir / "c.ztr"));
}

TEST(ZtrConvert, TypesByNameAndCodeKeepTheirCommandLineOrder) {
    ScratchDirectory dir("types");
    WriteWholeFile(dir / "pic.pgm", NoisyPgm(9, 5, 7));
    WriteWholeFile(dir / "my.prf", "# test profiles\n"
                                   "columns 1 column order\n"
                                   "grey8 0 ; 8 An 8-bit frame buffer\r\n"
                                   "columns 3 a second entry of the same name\n");

    const ZtrResult result = RunZtr({"convert", "--type", "grey8", "--code", "0x10012", "--type",
                                     "columns", "--profiles", "my.prf", "pic.pgm"},
                                    dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const auto records = WalkRecords(ReadWholeFile(dir / "pic.ztr"));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].header.depth, 8);
    EXPECT_EQ(records[0].header.layout, 0x00);
    EXPECT_EQ(records[1].header.depth, 1);
    EXPECT_EQ(records[1].header.layout, 0x12);
    EXPECT_EQ(records[2].header.depth, 1);
    EXPECT_EQ(records[2].header.layout, 0x01); // the first profile named "columns"
}

TEST(ZtrConvert, FailedWriteLeavesTheExistingOutputUnchanged) {
    ScratchDirectory dir("file-size-limit");
    WriteWholeFile(dir / "big.pgm", NoisyPgm(61, 47, 5));
    WriteWholeFile(dir / "big.ztr", "previous contents");

    // A 1-block (512-byte) file-size limit: the 8-bit record needs about 2.9 KB.
    const ZtrResult result =
        RunZtr({"convert", "--code", "0x80000", "big.pgm"}, dir.path(), "ulimit -f 1 &&");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("ERROR: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("big"), std::string::npos) << result.err;
    EXPECT_EQ(ReadWholeFile(dir / "big.ztr"), "previous contents");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"big.pgm", "big.ztr"}));
}

TEST(ZtrProfiles, PrintsOneTabSeparatedLinePerEntry) {
    ScratchDirectory dir("profiles");
    WriteWholeFile(dir / "my.prf", "  # comment\n"
                                   "oled 0x12 ; 1 128 x 64 OLED  \n"
                                   "plain 5\n"
                                   "grey 022;8\n"
                                   "broken word\n"
                                   "epd 0 ; 2 palette=bwr size=296x128 Red e-paper\n"
                                   "myepd 0x0G ; 1\n");
    const ZtrResult result = RunZtr({"profiles", "my.prf"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "0\toled\t18\t1\t128 x 64 OLED  \n"
                          "1\tplain\t5\t1\t\n"
                          "2\tgrey\t18\t8\t\n"
                          "3\tepd\t0\t2\tRed e-paper\n" // the settings are not description
                          "4\tmyepd\t0\t1\tG ; 1\n");
    // Faults are summed up in one line; --check lists them.
    EXPECT_EQ(
        result.err,
        "WARNING: 2 lines of 'my.prf' could not be read; 'ztr profiles --check' lists them\n");
    const ZtrResult check = RunZtr({"profiles", "--check", "my.prf"}, dir.path());
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out,
              "profile file 'my.prf', line 5: not a profile line (NAME LAYOUT [; DEPTH] "
              "[DESCRIPTION]); skipped\n"
              "profile file 'my.prf', line 7: lay-out code '0x0G' is not a number; read as 0x0\n"
              "'my.prf': 5 profiles, 2 lines with faults\n");

    // Files that hold no profiles at all are not profile files.
    WriteWholeFile(dir / "passwd", "root:x:0:0:root:/root:/bin/bash\n");
    fs::create_directories(dir / "folder");
    const struct {
        const char* operand;
        const char* message;
    } refusals[] = {
        {"nothing.prf",
         "ztr: cannot open profile file 'nothing.prf'\n  No such file or directory\n"},
        {"folder", "ztr: 'folder' is a folder, not a profile file\n"},
        {"passwd", "ztr: file 'passwd' holds no display profiles\n"},
    };
    for (const auto& refusal : refusals) {
        const ZtrResult refused = RunZtr({"profiles", refusal.operand}, dir.path());
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.err.ends_with(refusal.message)) << refused.err;
        EXPECT_EQ(refused.out, "");
    }
}

TEST(ZtrProfiles, DefaultsToTheFileBesideTheProgram) {
    ScratchDirectory dir("default-profiles");
    const fs::path beside = fs::path(ZTR_EXECUTABLE).parent_path() / "displays.prf";
    const ZtrResult named = RunZtr({"profiles", beside.string()}, dir.path());
    const ZtrResult result = RunZtr({"profiles"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\t"), std::string::npos);
    EXPECT_EQ(result.out, named.out);
}

} // namespace
