// Fault injection on the ztr program as a whole: a folder that refuses new files, a file
// size limit while rendering, and converted files cut short before listing and rendering.
// After each failure the program says so, exits 1, and leaves no partial file behind and
// an existing output file unchanged.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// An odd-sized grey picture whose samples differ along both axes.
std::string GreyPgm(int width, int height, int seed) {
    std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(static_cast<char>((x * 23 + y * 41 + seed * 97 + x * y) & 0xFF));
        }
    }
    return bytes;
}

// Where each record of a file ends, from the record lengths in each record's first four
// bytes.
std::vector<std::size_t> RecordEnds(const std::string& file) {
    std::vector<std::size_t> ends;
    std::size_t at = 0;
    while (at + 4 <= file.size()) {
        std::uint32_t length = 0;
        for (int k = 3; k >= 0; --k) {
            length =
                (length << 8) | static_cast<unsigned char>(file[at + static_cast<std::size_t>(k)]);
        }
        at += length;
        ends.push_back(at);
    }
    return ends;
}

// The first `count` lines of a text.
std::string FirstLines(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t line = 0; line < count; ++line) {
        end = text.find('\n', end) + 1;
    }
    return text.substr(0, end);
}

TEST(ZtrFaults, ConvertIntoAFolderThatRefusesNewFiles) {
    ScratchDirectory dir("fault-read-only");
    WriteWholeFile(dir / "logo.pgm", GreyPgm(17, 9, 1));
    WriteWholeFile(dir / "logo.ztr", "previous contents");
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    // Root writes anywhere, so as root the program runs as an unprivileged user.
    const std::string asUser =
        geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
    const ZtrResult result =
        RunZtr({"convert", "--code", "0x10001", "logo.pgm"}, dir.path(), asUser);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "ERROR: failed to open file 'logo.ztr' for writing\n  Permission denied\n");
    EXPECT_EQ(ReadWholeFile(dir / "logo.ztr"), "previous contents");
    EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));
}

TEST(ZtrFaults, RenderUnderAFileSizeLimitKeepsTheOldOutput) {
    ScratchDirectory dir("fault-render-limit");
    WriteWholeFile(dir / "pic.pgm", GreyPgm(61, 47, 2));
    ASSERT_EQ(RunZtr({"convert", "--code", "0x80000", "pic.pgm"}, dir.path()).status, 0);
    for (const std::string out : {"old.ppm", "old.png"}) {
        WriteWholeFile(dir / out, "previous contents");
        // One 512-byte block; the picture zoomed 4 times needs far more in either format.
        const ZtrResult result = RunZtr({"render", "pic.ztr", "0", "--zoom", "4", "-o", out},
                                        dir.path(), "ulimit -f 1 &&");
        EXPECT_EQ(result.status, 1) << out;
        EXPECT_EQ(result.err, "ztr: cannot write '" + out + "'\n  File too large\n");
        EXPECT_EQ(ReadWholeFile(dir / out), "previous contents") << out;
    }
    EXPECT_EQ(FolderEntries(dir.path()),
              (std::vector<std::string>{"old.png", "old.ppm", "pic.pgm", "pic.ztr"}));
}

TEST(ZtrFaults, CutFilesListEveryRecordWithAWholeHeader) {
    ScratchDirectory dir("fault-cut");
    WriteWholeFile(dir / "a.pgm", GreyPgm(21, 13, 3));
    WriteWholeFile(dir / "b.pgm", GreyPgm(21, 13, 4));
    ASSERT_EQ(RunZtr({"convert", "--animation", "--delay", "70", "--code", "0x10006", "--code",
                      "0x80001", "a.pgm", "b.pgm"},
                     dir.path())
                  .status,
              0);
    const std::string whole = ReadWholeFile(dir / "a.ztr");
    const ZtrResult full = RunZtr({"list", "a.ztr"}, dir.path());
    ASSERT_EQ(full.status, 0);
    const std::vector<std::size_t> ends = RecordEnds(whole);
    ASSERT_EQ(ends.size(), 6u);
    ASSERT_EQ(ends.back(), whole.size());
    ASSERT_EQ(static_cast<std::size_t>(std::count(full.out.begin(), full.out.end(), '\n')), 6u);

    // Cuts inside the first header, on both sides of every record boundary, inside each
    // record's delta header (where it has one) and inside each record's pixel data.
    std::vector<std::size_t> cuts = {0, 5, 11, 12};
    std::size_t start = 0;
    for (const std::size_t end : ends) {
        cuts.insert(cuts.end(), {start + 15, (start + end) / 2, end - 1, end, end + 1});
        start = end;
    }
    for (const std::size_t cut : cuts) {
        if (cut > whole.size()) {
            continue;
        }
        WriteWholeFile(dir / "cut.ztr", whole.substr(0, cut));
        std::size_t headers = 0; // records whose 12-byte header is whole
        std::size_t recordStart = 0;
        std::size_t cutStart = 0; // start of the last record listed
        for (const std::size_t end : ends) {
            if (recordStart + 12 <= cut) {
                ++headers;
                cutStart = recordStart;
            }
            recordStart = end;
        }
        const ZtrResult listed = RunZtr({"list", "cut.ztr"}, dir.path());
        // No whole first header: no Zentra file. A cut inside a record (or after a whole
        // one) lists what is there with a warning that names the last listed record; a
        // cut at a record boundary leaves a shorter file, listed without one.
        const bool boundary = std::find(ends.begin(), ends.end(), cut) != ends.end();
        if (headers == 0) {
            EXPECT_EQ(listed.status, 1) << "cut " << cut;
            EXPECT_EQ(listed.err, "ztr: file 'cut.ztr' is not a Zentra file\n") << "cut " << cut;
            continue;
        }
        EXPECT_EQ(listed.status, 0) << "cut " << cut;
        if (boundary) {
            EXPECT_EQ(listed.err, "") << "cut " << cut;
        } else {
            EXPECT_TRUE(listed.err.starts_with("WARNING: file 'cut.ztr' ")) << listed.err;
            EXPECT_NE(listed.err.find("record " + std::to_string(headers - 1)), std::string::npos)
                << "cut " << cut << ": " << listed.err;
        }
        EXPECT_EQ(static_cast<std::size_t>(std::count(listed.out.begin(), listed.out.end(), '\n')),
                  headers)
            << "cut " << cut;
        // Every line as in the whole file, but for a last record whose delta header is cut.
        const bool isDelta = (static_cast<unsigned char>(whole[cutStart + 6]) & 0x20) != 0;
        const bool deltaCut = headers > 0 && isDelta && cutStart + 18 > cut;
        const std::size_t same = deltaCut ? headers - 1 : headers;
        EXPECT_EQ(listed.out.substr(0, FirstLines(full.out, same).size()),
                  FirstLines(full.out, same))
            << "cut " << cut;

        // The last listed record renders alone and built up; when only its last byte is
        // missing, the record before it renders exactly as from the whole file.
        if (headers > 0) {
            const std::string last = std::to_string(headers - 1);
            for (const char* option : {"--invert", "--buildup"}) {
                const ZtrResult render =
                    RunZtr({"render", "cut.ztr", last, option, "-o", "cut.ppm"}, dir.path());
                EXPECT_EQ(render.status, 0) << "cut " << cut << " " << option << render.err;
            }
        }
        const std::size_t wholeRecords = static_cast<std::size_t>(
            std::count_if(ends.begin(), ends.end(), [&](std::size_t end) { return end <= cut; }));
        if (wholeRecords > 0 && wholeRecords < ends.size() && cut + 1 == ends[wholeRecords]) {
            const std::string index = std::to_string(wholeRecords - 1);
            ASSERT_EQ(
                RunZtr({"render", "a.ztr", index, "--buildup", "-o", "from_whole.ppm"}, dir.path())
                    .status,
                0);
            const ZtrResult cutRender =
                RunZtr({"render", "cut.ztr", index, "--buildup", "-o", "from_cut.ppm"}, dir.path());
            EXPECT_EQ(cutRender.status, 0) << "cut " << cut;
            EXPECT_EQ(ReadWholeFile(dir / "from_cut.ppm"), ReadWholeFile(dir / "from_whole.ppm"))
                << "cut " << cut;
        }
    }
}

} // namespace
