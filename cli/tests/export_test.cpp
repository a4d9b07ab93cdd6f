// End-to-end tests of ztr export: the header's exact text for a small file, the array's
// default name, the output file, and the exit codes.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// One 10 x 1 monochrome record in row order: two unpacked bytes 0xFF, 0xC0, coded as
// they are.
const std::string TINY =
    std::string("\x0E\x00\x00\x00\x02\xA2\x00\x01\x0A\x00\x01\x00\xFF\xC0", 14);

TEST(ZtrExport, WritesTheBytesTheirSizeAndTheRecordList) {
    ScratchDirectory dir("export");
    WriteWholeFile(dir / "tiny.ztr", TINY);
    const ZtrResult result = RunZtr({"export", "tiny.ztr"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "/* tiny: the Zentra file tiny.ztr (14 bytes), made by ztr export.\n"
                          " * Records:\n"
                          " *   0: 10 x 1 monochrome, layout 00 [row order]\n"
                          " */\n"
                          "#ifndef TINY_ZTR_H\n"
                          "#define TINY_ZTR_H\n"
                          "\n"
                          "#include <stdint.h>\n"
                          "\n"
                          "/* Program memory on AVR, where RAM is too small for pictures. */\n"
                          "#ifndef ZTR_IN_FLASH\n"
                          "#if defined(__AVR__)\n"
                          "#include <avr/pgmspace.h>\n"
                          "#define ZTR_IN_FLASH PROGMEM\n"
                          "#else\n"
                          "#define ZTR_IN_FLASH\n"
                          "#endif\n"
                          "#endif\n"
                          "\n"
                          "#define TINY_SIZE 14ul\n"
                          "\n"
                          "static const uint8_t tiny[14] ZTR_IN_FLASH = {\n"
                          "    0x0E, 0x00, 0x00, 0x00, 0x02, 0xA2, 0x00, 0x01, 0x0A, 0x00, 0x01, "
                          "0x00,\n"
                          "    0xFF, 0xC0,\n"
                          "};\n"
                          "\n"
                          "#endif /* TINY_ZTR_H */\n");
}

TEST(ZtrExport, NamesOutputAndExitCodes) {
    ScratchDirectory dir("export-names");
    WriteWholeFile(dir / "3d-logo.v2.ztr", TINY);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string firstLineOrError;
    } cases[] = {
        {{"export", "3d-logo.v2.ztr"},
         0,
         "/* ztr_3d_logo_v2: the Zentra file 3d-logo.v2.ztr (14 bytes), made by ztr export."},
        {{"export", "--name", "splash", "3d-logo.v2.ztr"},
         0,
         "/* splash: the Zentra file 3d-logo.v2.ztr (14 bytes), made by ztr export."},
        {{"export", "3d-logo.v2.ztr", "--name", "9lives"},
         2,
         "ztr: invalid name '9lives' (a C identifier)"},
        {{"export", "missing.ztr"}, 1, "ztr: cannot open 'missing.ztr'"},
        {{"export"}, 2, "ztr: no file given"},
        {{"export", "a.ztr", "b.ztr"}, 2, "ztr: more than one file given"},
        {{"export", "3d-logo.v2.ztr", "-o"}, 2, "ztr: option '-o' needs a value"},
        {{"export", "--bytes", "3d-logo.v2.ztr"}, 2, "ztr: unknown option '--bytes'"},
    };
    for (const auto& c : cases) {
        const ZtrResult result = RunZtr(c.args, dir.path());
        EXPECT_EQ(result.status, c.status) << c.firstLineOrError;
        const std::string& text = c.status == 0 ? result.out : result.err;
        EXPECT_EQ(text.substr(0, text.find('\n')), c.firstLineOrError);
    }
}

TEST(ZtrExport, WritesTheHeaderFileOnlyWhenComplete) {
    ScratchDirectory dir("export-output");
    WriteWholeFile(dir / "tiny.ztr", TINY);
    const ZtrResult printed = RunZtr({"export", "tiny.ztr"}, dir.path());
    const ZtrResult written = RunZtr({"export", "tiny.ztr", "-o", "tiny.h"}, dir.path());
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(ReadWholeFile(dir / "tiny.h"), printed.out);
    const ZtrResult refused =
        RunZtr({"export", "tiny.ztr", "-o", "no/such/dir/tiny.h"}, dir.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

// avr-gcc takes no array above 32767 bytes: a larger file is exported with a warning that
// says so, or with --split in parts below that, which the device library reads through
// the header's callback; every form compiles and reads back the file's bytes (the AVR
// build itself is in scripts/device-check).
TEST(ZtrExport, SplitsLargeFilesForAvr) {
    ScratchDirectory dir("export-split");
    WriteWholeFile(dir / "big.pgm", NoisyPgm(301, 229));
    ASSERT_EQ(RunZtr({"convert", "--code", "0x80000", "big.pgm"}, dir.path()).status, 0);
    const std::string big = ReadWholeFile(dir / "big.ztr");
    ASSERT_GT(big.size(), 2u * 32767u); // three parts
    WriteWholeFile(dir / "tiny.ztr", TINY);
    const std::string library =
        (std::filesystem::path(ZENTRA_TEST_DATA) / ".." / ".." / "device" / "src").string();
    // Reads the whole file through the callback in pieces of 1000 bytes, then once more
    // across the first boundary, and writes it out.
    WriteWholeFile(dir / "main.c",
                   "#include \"zentra_device.h\"\n#include HEADER\n#include <stdio.h>\n"
                   "static uint8_t copy[SIZE + 1];\n"
                   "int main(void) {\n"
                   "    const ztr_source file = ZTR_CALLBACK_SOURCE(READ, 0, SIZE);\n"
                   "    ztr_record record;\n"
                   "    uint32_t at = 0;\n"
                   "    uint16_t n;\n"
                   "    while ((n = READ(0, at, copy + at, 1000)) != 0) at += n;\n"
                   "    if (at != SIZE || READ(0, SIZE, copy, 10) != 0) return 2;\n"
                   "    if (SIZE > 32768 && (READ(0, 32765, copy + 32765, 5) != 5)) return 3;\n"
                   "    fwrite(copy, 1, at, stdout);\n"
                   "    return ztr_read_record(&file, 0, &record) == ZTR_OK ? 0 : 1;\n"
                   "}\n");
    const struct {
        const char* file;
        std::vector<std::string> args; // after "export FILE"
        const char* header;            // the header written, "NAME.h"
        std::string compile;           // the C sources and definitions besides main.c
        const char* warning;
        int parts;
    } cases[] = {
        {"big.ztr", {"-o", "big.h"}, "big.h", "", "WARNING: 'big.ztr' is ", 0},
        {"big.ztr",
         {"--split", "-o", "big.h"},
         "big.h",
         "-DHEADER='\"big.h\"' -DREAD=big_read -DSIZE=BIG_SIZE",
         "",
         3},
        {"big.ztr",
         {"--split", "--name", "pic", "-o", "pic.h", "--source", "pic.c"},
         "pic.h",
         "pic.c -DHEADER='\"pic.h\"' -DREAD=pic_read -DSIZE=PIC_SIZE",
         "",
         3},
        {"tiny.ztr",
         {"--split", "-o", "tiny.h"},
         "tiny.h",
         "-DHEADER='\"tiny.h\"' -DREAD=tiny_read -DSIZE=TINY_SIZE",
         "",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<std::string> args = {"export", c.file};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(result.err.starts_with(c.warning)) << result.err;
        EXPECT_EQ(result.err.empty(), std::string(c.warning).empty()) << result.err;
        const std::string header = ReadWholeFile(dir / c.header);
        const std::string name = std::string(c.header).substr(0, std::strlen(c.header) - 2);
        EXPECT_EQ(header.find(name + "_" + std::to_string(c.parts) + "["), std::string::npos);
        if (c.parts == 0) {
            continue;
        }
        EXPECT_NE(header.find(name + "_" + std::to_string(c.parts - 1) + "["), std::string::npos);
        const std::string command =
            "cd " + ShellQuote(dir.path().string()) +
            " && cc -std=c99 -Wall -Wextra -pedantic -Werror -I" + ShellQuote(library) +
            " main.c " + library + "/zentra_device.c " + c.compile + " -o read && ./read >read.out";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(ReadWholeFile(dir / "read.out"), ReadWholeFile(dir / c.file));
    }
}

// A file cut short within its last record is refused, naming the record; --keep-cut
// exports the whole records before it, which the device library walks to ZTR_END and
// decodes (compiled and run here as firmware would).
TEST(ZtrExport, RefusesACutFileUnlessKeepCutTakesItsWholeRecords) {
    ScratchDirectory dir("export-cut");
    WriteWholeFile(dir / "cut.ztr", TINY + TINY + TINY.substr(0, 13));
    WriteWholeFile(dir / "first.ztr", TINY.substr(0, 12));
    const std::string warning =
        "WARNING: file 'cut.ztr' is cut short: record 2 lacks its last 1 bytes\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"export", "cut.ztr", "-o", "kept.h"},
         1,
         warning + "ztr: 'cut.ztr' is not exported: the device library would find its record "
                   "2 damaged (--keep-cut exports the whole records before it)\n"},
        {{"export", "first.ztr", "--keep-cut", "-o", "kept.h"},
         1,
         "WARNING: file 'first.ztr' is cut short: record 0 lacks its last 2 bytes\n"
         "ztr: 'first.ztr' has no whole record before its cut record 0: nothing to export\n"},
        {{"export", "cut.ztr", "--keep-cut", "--name", "kept", "-o", "kept.h"},
         0,
         warning + "ztr: exporting records 0 to 1 of 'cut.ztr' (28 bytes), without record 2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const ZtrResult result = RunZtr(c.args, dir.path());
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(std::filesystem::exists(dir / "kept.h"), c.status == 0);
    }
    const std::string header = ReadWholeFile(dir / "kept.h");
    EXPECT_NE(header.find(" *   1: 10 x 1 monochrome"), std::string::npos);
    EXPECT_EQ(header.find(" *   2: "), std::string::npos);
    const std::string library =
        (std::filesystem::path(ZENTRA_TEST_DATA) / ".." / ".." / "device" / "src").string();
    WriteWholeFile(
        dir / "walk.c",
        "#include \"zentra_device.h\"\n#include \"kept.h\"\n#include <stdio.h>\n"
        "int main(void) {\n"
        "    const ztr_source file = ZTR_MEMORY_SOURCE(kept, KEPT_SIZE);\n"
        "    ztr_record record;\n"
        "    ztr_decoder decoder;\n"
        "    uint8_t out[4];\n"
        "    ztr_result result = ztr_read_record(&file, 0, &record);\n"
        "    while (result == ZTR_OK && ztr_begin(&decoder, &file, &record) == ZTR_OK &&\n"
        "           ztr_read(&decoder, out, 4) == 2 && decoder.status == ZTR_END) {\n"
        "        printf(\"%02X %02X\\n\", out[0], out[1]);\n"
        "        result = ztr_next_record(&file, &record);\n"
        "    }\n"
        "    printf(\"%d\\n\", (int)result);\n"
        "    return 0;\n"
        "}\n");
    const std::string command = "cd " + ShellQuote(dir.path().string()) +
                                " && cc -std=c99 -Wall -Wextra -pedantic -Werror -I" +
                                ShellQuote(library) + " walk.c " + library +
                                "/zentra_device.c -o walk && ./walk >walk.out";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ReadWholeFile(dir / "walk.out"), "FF C0\nFF C0\n1\n"); // then ZTR_END
}

// An export never writes over its input, under whatever name, nor its header over its
// source; the refusal names both paths and leaves every file as it was.
TEST(ZtrExport, NeverWritesOverItsInput) {
    const struct {
        std::vector<std::string> args; // after "export tiny.ztr"
        int status;
        const char* error;
    } cases[] = {
        {{"-o", "tiny.ztr"},
         1,
         "ztr: the output 'tiny.ztr' would write over the input 'tiny.ztr'\n"},
        {{"-o", "sub/../tiny.ztr"},
         1,
         "ztr: the output 'sub/../tiny.ztr' would write over the input 'tiny.ztr'\n"},
        {{"-o", "linked.ztr"},
         1,
         "ztr: the output 'linked.ztr' would write over the input 'tiny.ztr'\n"},
        {{"-o", "t.h", "--source", "./tiny.ztr"},
         1,
         "ztr: the output './tiny.ztr' would write over the input 'tiny.ztr'\n"},
        {{"-o", "t.h", "--source", "sub/../t.h"},
         2,
         "ztr: the header and the source would both be written to 't.h'\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        ScratchDirectory dir("export-input");
        WriteWholeFile(dir / "tiny.ztr", TINY);
        std::filesystem::create_directories(dir / "sub");
        std::filesystem::create_hard_link(dir / "tiny.ztr", dir / "linked.ztr");
        std::vector<std::string> args = {"export", "tiny.ztr"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.err.starts_with(c.error)) << result.err;
        EXPECT_EQ(ReadWholeFile(dir / "tiny.ztr"), TINY);
        EXPECT_FALSE(std::filesystem::exists(dir / "t.h"));
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            ++entries;
        }
        EXPECT_EQ(entries, 3u) << "tiny.ztr, linked.ztr and sub only";
    }
}

} // namespace
