// Where ztr convert writes: -o for one output, --output-dir for each output, and never
// over a picture of the same run; and ztr export's .c and .h pair.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// An asymmetric 5 x 3 PGM, so that any conversion writes a real file.
const std::string PICTURE = std::string("P5\n5 3\n255\n") + std::string("\x00\xFF\x10\xF0\x80"
                                                                        "\xFF\x00\x00\x40\x20"
                                                                        "\x01\x02\xFE\xFD\x00",
                                                                        15);

struct OutputCase {
    const char* name;
    std::vector<std::string> args; // after "convert --code 0x10000"
    int status;
    std::vector<std::string> written; // files that exist afterwards besides the pictures
    const char* error;                // part of standard error
};

TEST(ZtrConvertOutput, TheOutputGoesWhereTheCommandLineSays) {
    const OutputCase cases[] = {
        {"beside the picture", {"a.pgm"}, 0, {"a.ztr"}, ""},
        {"-o names the file", {"-o", "out/x.ztr", "a.pgm"}, 0, {"out/x.ztr"}, ""},
        {"-o for an animation",
         {"--animation", "-o", "anim.bin", "a.pgm", "b.pgm"},
         0,
         {"anim.bin"},
         ""},
        {"--output-dir keeps the names",
         {"--output-dir", "out", "a.pgm", "sub/b.pgm"},
         0,
         {"out/a.ztr", "out/b.ztr"},
         ""},
        {"-o with two outputs", {"-o", "x.ztr", "a.pgm", "b.pgm"}, 2, {}, "-o names one output"},
        {"-o and --output-dir",
         {"-o", "x.ztr", "--output-dir", "out", "a.pgm"},
         2,
         {},
         "exclude each other"},
        // What the names show is a wrong command line (2, in ztr's own style); what only
        // the file system shows, a failure of the run (1, in the engine's).
        {"-o over the picture",
         {"-o", "a.pgm", "a.pgm"},
         2,
         {},
         "ztr: the output 'a.pgm' would write over the picture 'a.pgm'\nTry 'ztr --help'"},
        {"-o over another picture of the run",
         {"--animation", "-o", "b.pgm", "a.pgm", "b.pgm"},
         2,
         {},
         "ztr: the output 'b.pgm' would write over the picture 'b.pgm'\n"},
        {"-o over the same picture by another name",
         {"-o", "./sub/../a.pgm", "a.pgm"},
         2,
         {},
         "ztr: the output './sub/../a.pgm' would write over the picture 'a.pgm'\n"},
        {"-o over the picture through a link",
         {"-o", "link/a.pgm", "a.pgm"},
         1,
         {},
         "ERROR: the output 'link/a.pgm' would write over the picture 'a.pgm'\n"},
        {"a picture named .ztr",
         {"c.ztr"},
         2,
         {},
         "ztr: the output 'c.ztr' would write over the picture 'c.ztr'\n"},
        // Two pictures of one run never write one file: the first one's file would be lost.
        {"two pictures with one output",
         {"a.pgm", "a.png"},
         2,
         {},
         "ztr: the pictures 'a.pgm' and 'a.png' would both be written to 'a.ztr'\n"},
        {"one picture twice", {"b.pgm", "a.pgm", "./a.pgm"}, 2, {}, "'a.pgm' and './a.pgm'"},
        {"--output-dir gathers two of one name",
         {"--output-dir", "out", "b.pgm", "sub/b.pgm"},
         2,
         {},
         "the pictures 'b.pgm' and 'sub/b.pgm' would both be written to 'out/b.ztr'"},
        {"one folder under two names",
         {"a.pgm", "link/a.png"},
         1,
         {},
         "ERROR: the pictures 'a.pgm' and 'link/a.png' would both be written to 'a.ztr'\n"},
        {"--output-dir onto a picture named .ztr",
         {"--output-dir", "sub", "a.pgm", "sub/c.ztr"},
         2,
         {},
         "ztr: the output 'sub/c.ztr' would write over the picture 'sub/c.ztr'\n"},
    };
    for (const OutputCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDirectory dir("output-choice");
        std::filesystem::create_directories(dir / "out");
        std::filesystem::create_directories(dir / "sub");
        for (const char* picture :
             {"a.pgm", "a.png", "b.pgm", "sub/b.pgm", "sub/c.pgm", "sub/c.ztr"}) {
            WriteWholeFile(dir / picture, PICTURE);
        }
        std::filesystem::create_directory_symlink(".", dir / "link");
        std::filesystem::copy_file(dir / "sub/c.pgm", dir / "c.ztr");
        std::vector<std::string> args = {"convert", "--code", "0x10000"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
        std::vector<std::string> written;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            const std::string name = std::filesystem::relative(entry.path(), dir.path()).string();
            if (entry.is_regular_file() && ReadWholeFile(entry.path()) != PICTURE) {
                written.push_back(name);
            }
        }
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, c.written);
        for (const char* picture : {"a.pgm", "b.pgm", "c.ztr", "sub/c.ztr"}) {
            EXPECT_EQ(ReadWholeFile(dir / picture), PICTURE) << picture << " stays as it was";
        }
    }
}

// The pair compiles as C into one program: the header declares, the source defines.
TEST(ZtrExport, WritesASourceAndHeaderPair) {
    ScratchDirectory dir("export-pair");
    WriteWholeFile(dir / "a.pgm", PICTURE);
    ASSERT_EQ(RunZtr({"convert", "--code", "0x10000", "a.pgm"}, dir.path()).status, 0);
    const ZtrResult result = RunZtr(
        {"export", "a.ztr", "--name", "pic", "-o", "pic.h", "--source", "pic.c"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string header = ReadWholeFile(dir / "pic.h");
    const std::string source = ReadWholeFile(dir / "pic.c");
    EXPECT_NE(header.find("extern const uint8_t pic["), std::string::npos) << header;
    EXPECT_EQ(header.find("0x"), std::string::npos) << "no data in the header";
    EXPECT_NE(source.find("#include \"pic.h\""), std::string::npos) << source;
    EXPECT_NE(source.find("const uint8_t pic["), std::string::npos);
    WriteWholeFile(dir / "main.c",
                   "#include \"pic.h\"\nint main(void) {\n"
                   "    return PIC_SIZE == sizeof pic && pic[4] == 2 ? 0 : 1;\n}\n");
    EXPECT_EQ(std::system(("cd " + ShellQuote(dir.path().string()) +
                           " && cc -std=c99 -Wall -Werror main.c pic.c -o pair && ./pair")
                              .c_str()),
              0);
    EXPECT_EQ(RunZtr({"export", "a.ztr", "--source", "pic.c"}, dir.path()).status, 2)
        << "a source needs the header's name";
}

} // namespace
