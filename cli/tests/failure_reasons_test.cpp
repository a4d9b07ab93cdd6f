// Failures that name the real cause: a picture that cannot be opened is reported as the
// picture's, before anything is written; every failure to open, write or rename a file
// keeps its own line and gives the system's reason on the line after it; --output-dir
// makes its folder, and takes it back when the run leaves nothing in it.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const std::string PICTURE =
    "P5\n5 3\n255\n" +
    std::string("\x00\x10\x20\x30\x40\xFF\x00\x40\x20\x01\x02\xFE\xFD\x00\x80", 15);

struct ReasonCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string error;                // whole lines of standard error, in this order
    std::vector<std::string> entries; // what the folder holds afterwards
    std::string prefix = {};          // shell text before the command (a ulimit)
};

TEST(ZtrFailureReasons, EachFailureNamesItsFileAndTheSystemsReason) {
    const std::vector<std::string> inputs = {"a.pgm",      "bad.pgm", "big.pgm",
                                             "locked.gpl", "plain",   "taken.ztr"};
    const ReasonCase cases[] = {
        {"a picture in a folder that does not exist",
         {"convert", "--code", "0x10000", "nodir/a.pgm"},
         1,
         "ERROR: failed to open file 'nodir/a.pgm' for reading\n  No such file or directory\n",
         inputs},
        {"a missing picture stops the run before the first file",
         {"convert", "--code", "0x10000", "a.pgm", "gone.pgm"},
         1,
         "ERROR: failed to open file 'gone.pgm' for reading\n  No such file or directory\n",
         inputs},
        {"--output-dir naming a file",
         {"convert", "--code", "0x10000", "--output-dir", "plain/sub", "a.pgm"},
         1,
         "ERROR: failed to open file 'plain/sub/a.ztr' for writing\n  Not a directory (making "
         "the folder 'plain/sub')\n",
         inputs},
        {"--output-dir of a run that fails is taken back",
         {"convert", "--code", "0x10000", "--output-dir", "made/deeper", "bad.pgm"},
         1,
         "ERROR: truncated input file (not enough pixel data)\n",
         inputs},
        {"an output name held by a folder",
         {"convert", "--code", "0x10000", "-o", "taken.ztr", "a.pgm"},
         1,
         "ERROR: failed to write file 'taken.ztr'\n  Is a directory (renaming '~zt0.tmp' to "
         "it)\n",
         inputs},
        {"a file-size limit of one block",
         {"convert", "--code", "0x80000", "big.pgm"},
         1,
         "ERROR: failed to write file 'big.ztr'\n  File too large\n",
         inputs,
         "ulimit -f 1 &&"},
        {"render into a missing folder",
         {"render", "a.ztr", "0", "-o", "nodir/out.ppm"},
         1,
         "ztr: cannot create 'nodir/out.ppm'\n  No such file or directory\n",
         inputs},
        {"export into a missing folder",
         {"export", "a.ztr", "-o", "nodir/a.h"},
         1,
         "ztr: cannot write 'nodir/a.h'\n  No such file or directory\n",
         inputs},
        {"list of a missing file",
         {"list", "gone.ztr"},
         1,
         "ztr: cannot open 'gone.ztr'\n  No such file or directory\n",
         inputs},
        {"a missing profile file",
         {"profiles", "gone.prf"},
         1,
         "ztr: cannot open profile file 'gone.prf'\n  No such file or directory\n",
         inputs},
        {"a palette file that may not be read",
         {"convert", "--code", "0x20000", "--palette", "locked.gpl", "a.pgm"},
         2,
         "ztr: cannot open palette file 'locked.gpl'\n  Permission denied\nTry",
         inputs,
         geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : ""},
    };
    for (const ReasonCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDirectory dir("reasons");
        WriteWholeFile(dir / "a.pgm", PICTURE);
        WriteWholeFile(dir / "bad.pgm", "P5 3 2 255\n");
        WriteWholeFile(dir / "big.pgm", NoisyPgm(64, 64));
        WriteWholeFile(dir / "locked.gpl", "#000000\n#FFFFFF\n");
        std::filesystem::permissions(dir / "locked.gpl", std::filesystem::perms::none);
        WriteWholeFile(dir / "plain", "a file, not a folder");
        std::filesystem::create_directory(dir / "taken.ztr");
        const bool needsFile = c.args[0] == "render" || c.args[0] == "export";
        if (needsFile) {
            ASSERT_EQ(RunZtr({"convert", "--code", "0x10000", "a.pgm"}, dir.path()).status, 0);
        }
        const ZtrResult result = RunZtr(c.args, dir.path(), c.prefix);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
        if (c.error.find("for writing") == std::string::npos) {
            EXPECT_EQ(result.err.find("for writing"), std::string::npos) << result.err;
        }
        std::vector<std::string> entries = c.entries;
        if (needsFile) {
            entries.push_back("a.ztr");
            std::sort(entries.begin(), entries.end());
        }
        EXPECT_EQ(FolderEntries(dir.path()), entries);
    }
}

TEST(ZtrOutputDir, MakesTheFolderAndItsParents) {
    ScratchDirectory dir("output-dir");
    WriteWholeFile(dir / "a.pgm", PICTURE);
    WriteWholeFile(dir / "b.pgm", PICTURE);
    const ZtrResult result =
        RunZtr({"convert", "--code", "0x10000", "--output-dir", "out/2024/", "a.pgm", "b.pgm"},
               dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FolderEntries(dir / "out/2024"), (std::vector<std::string>{"a.ztr", "b.ztr"}));
    EXPECT_EQ(ReadWholeFile(dir / "out/2024/a.ztr"),
              ReadWholeFile(dir / "out/2024/b.ztr")); // the same picture
}

} // namespace
