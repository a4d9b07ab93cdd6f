// Animations from GIFs as RunConversion writes them: a GIF cut short after complete
// frames gives those frames and one warning for the whole conversion, and a GIF frame's
// delay of 0 or 1 (1/100 s) stands for 100 ms, as browsers show it.
#include "conversion_request.h"
#include "file_request.h"

#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

// A GIF of one 3 x 2 frame of a black and white table, with a control block of `delay`
// (1/100 s). The LZW codes are 3 bits wide: a clear code (4) before every second index,
// the end code (5) last.
Bytes OneFrameGif(int delay) {
    Bytes file = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
    const Bytes control = {
        0x21, 0xF9, 4, 0, static_cast<std::uint8_t>(delay), static_cast<std::uint8_t>(delay >> 8),
        0,    0};
    file.insert(file.end(), control.begin(), control.end());
    file.insert(file.end(), {0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0, 2});
    const unsigned codes[] = {4, 1, 0, 4, 1, 1, 4, 0, 1, 5};
    Bytes data;
    unsigned bits = 0;
    int count = 0;
    for (const unsigned code : codes) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    data.push_back(static_cast<std::uint8_t>(bits));
    file.push_back(static_cast<std::uint8_t>(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    file.insert(file.end(), {0, 0x3B});
    return file;
}

// The delays of a file's delta records, in order (-1 for a full frame).
std::vector<int> RecordDelays(const Bytes& file) {
    std::vector<int> delays;
    for (std::size_t at = 0; at + 14 <= file.size();) {
        const std::size_t length = file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                   static_cast<std::size_t>(file[at + 3]) << 24;
        const bool delta = (file[at + 6] & 0x20) != 0;
        delays.push_back(delta ? file[at + 12] | file[at + 13] << 8 : -1);
        if (length < 12) {
            break;
        }
        at += length;
    }
    return delays;
}

TEST(SourceFrames, CutGifsAndShortDelays) {
    const Bytes anim =
        writer_test::ReadWholeFile(std::string(ZENTRA_TEST_DATA) + "/im_anim9x7.gif");
    ASSERT_EQ(anim.size(), 491u);
    const struct {
        const char* what;
        Bytes gif;
        std::vector<int> delays; // of one sequence
        std::string warning;     // %s stands for the path; empty: none
    } cases[] = {
        // Frames of 100, 200 and 300 ms; the third loses its last bytes: two frames, and the
        // last delta record, back to the first, carries the first frame's 100 ms.
        {"cut inside the third frame",
         Bytes(anim.begin(), anim.end() - 3),
         {-1, 200, 100},
         "WARNING: file '%s' is cut short: 2 complete frames read\n"},
        {"whole", anim, {-1, 200, 300, 100}, ""},
        {"one frame of 0 cs", OneFrameGif(0), {-1, 100}, ""},
        {"one frame of 1 cs", OneFrameGif(1), {-1, 100}, ""},
        {"one frame of 5 cs", OneFrameGif(5), {-1, 50}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder("source_frames");
        const std::string path = folder.File("anim.gif");
        writer_test::WriteWholeFile(path, c.gif);
        writer_test::MessageRecorder messages;
        ASSERT_EQ(RunConversion(writer_test::FileRequest(
                                    {path}, {MakeTypeCode(0x00, 1), MakeTypeCode(0x00, 8)}, true),
                                {messages.Sink()}),
                  Outcome{});
        std::vector<std::string> expected;
        if (!c.warning.empty()) {
            std::string warning = c.warning;
            warning.replace(warning.find("%s"), 2, path);
            expected.push_back(warning);
        }
        EXPECT_EQ(messages.Messages(), expected);
        std::vector<int> both = c.delays;
        both.insert(both.end(), c.delays.begin(), c.delays.end());
        EXPECT_EQ(RecordDelays(writer_test::ReadWholeFile(folder.File("anim.ztr"))), both);
    }
}

} // namespace
