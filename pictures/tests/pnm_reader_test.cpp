// PBM and PGM reading: files written by netpbm and PIL, header rules (comments, pieces
// of 127 characters, fields left open by 0), scaling, and every refusal message.
#include "first_frame.h"
#include "readers_seed_pictures.h"
#include "readers_test_support.h"
#include "source_image.h"
#include "system_reasons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

// pamdepth 15 of GREY_5X3 (netpbm rounds to the nearest level), each level times 17.
std::vector<std::uint8_t> Grey5x3AtMaxval15() {
    const int levels[15] = {0, 4, 8, 11, 15, 15, 0, 0, 0, 2, 1, 1, 2, 2, 3};
    std::vector<std::uint8_t> pixels;
    for (int level : levels) {
        pixels.push_back(static_cast<std::uint8_t>(level * 17));
    }
    return pixels;
}

struct ToolFileCase {
    const char* file;
    std::int32_t width;
    std::int32_t height;
    std::int32_t levels;
    std::vector<std::uint8_t> pixels;
};

TEST(ReadPnmFirstFrame, ReadsFilesWrittenByOtherTools) {
    const ToolFileCase cases[] = {
        {"seed_grey5x3.pgm", 5, 3, 256, GREY_5X3},
        {"netpbm_grey5x3_plain.pgm", 5, 3, 256, GREY_5X3},
        {"netpbm_grey5x3_raw.pgm", 5, 3, 256, GREY_5X3},
        {"netpbm_grey5x3_maxval15_plain.pgm", 5, 3, 16, Grey5x3AtMaxval15()},
        {"netpbm_grey5x3_maxval15_raw.pgm", 5, 3, 16, Grey5x3AtMaxval15()},
        {"seed_grey7x5.pgm", 7, 5, 256, Grey7x5()},
        {"pil_grey7x5.pgm", 7, 5, 256, Grey7x5()},
        {"seed_bits10x3.pbm", 10, 3, 2, BITS_10X3},
        {"netpbm_bits10x3_plain.pbm", 10, 3, 2, BITS_10X3},
        {"netpbm_bits10x3_raw.pbm", 10, 3, 2, BITS_10X3},
    };
    for (const ToolFileCase& c : cases) {
        SCOPED_TRACE(c.file);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            ReadPnmFirstFrame(TestDataPath(c.file), recorder.Sink());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->levels, c.levels);
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_EQ(image->recordPalette, (std::array<std::uint8_t, PALETTE_BYTES>{}));
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

struct TextCase {
    const char* what;
    std::string content;
    std::int32_t width;
    std::int32_t height;
    std::int32_t levels;
    std::vector<std::uint8_t> pixels;
};

TEST(ReadPnmFirstFrame, HeaderAndPixelRules) {
    const std::string longComment = "#" + std::string(126, 'c'); // a whole 127-char piece
    const TextCase cases[] = {
        {"comment behind the format token, comment-only line",
         "P2 # made by hand\n# nothing here\n3 2\n255\n1 2 3\n4 5 6\n",
         3,
         2,
         256,
         {1, 2, 3, 4, 5, 6}},
        {"header ends on the maxval line",
         "P2 4 2 15\n0 1 2 3\n15 14 13 12\n",
         4,
         2,
         16,
         {0, 17, 34, 51, 255, 238, 221, 204}},
        {"values on the header's last line are not read",
         "P2\n2 1 255 7 8\n9 10\n",
         2,
         1,
         256,
         {9, 10}},
        {"width 0 leaves the width open",
         "P2\n0 3 2\n255\n1 2 3 4 5 6\n",
         3,
         2,
         256,
         {1, 2, 3, 4, 5, 6}},
        {"maxval -1 leaves levels open", "P2 2 1 -1 100\n50 100\n", 2, 1, 101, {127, 255}},
        {"pieces of a long comment after the first are header text",
         "P2\n" + longComment + " 3 2\n255\n1 2 3 4 5 6\n",
         3,
         2,
         256,
         {1, 2, 3, 4, 5, 6}},
        {"comment cuts a header line",
         "P2 3#1\n 2 255\n1 2 3 4 5 6\n",
         3,
         2,
         256,
         {1, 2, 3, 4, 5, 6}},
        {"maxval 100 truncates; no clamping above it or below 0",
         "P2\n4 1\n100\n50 100 101 -1\n",
         4,
         1,
         101,
         {127, 255, 1, 254}},
        {"plain PBM digits run together or apart, any non-zero digit black",
         "P1\n5 2\n01\t2 9\n0 01000\n",
         5,
         2,
         2,
         {255, 0, 0, 0, 255, 255, 0, 255, 255, 255}},
        {"raw PBM 10 wide: the last 6 bits of each row are dropped",
         std::string("P4\n10 2\n\x80\xFF\x01\x7F", 12),
         10,
         2,
         2,
         {0,   255, 255, 255, 255, 255, 255, 255, 0,   0,
          255, 255, 255, 255, 255, 255, 255, 0,   255, 0}},
        {"raw PGM starts right after the maxval line",
         std::string("P5\n3 1\n255\n\n\x20\xFF", 14),
         3,
         1,
         256,
         {10, 32, 255}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            ReadPnmFirstFrame(WriteScratchFile("header_case.pnm", c.content), recorder.Sink());
        ASSERT_TRUE(image.has_value())
            << (recorder.Messages().empty() ? "" : recorder.Messages()[0]);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->levels, c.levels);
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

struct RefusalCase {
    const char* what;
    std::string content;
    std::string message;
};

TEST(ReadPnmFirstFrame, RefusesWithExactMessages) {
    // The engine's first lines, then the file and the cause.
    const std::string notPnm = "Invalid PBM/PGM/PPM image\n  in '%s': ";
    const std::string wrongType = "Wrong or unsupported image type\n  in '%s': ";
    const std::string truncated =
        "ERROR: truncated input file (not enough pixel data)\n  in '%s': ";
    const std::string plainCut = truncated + "not enough data for 3 x 2 pixels\n";
    const RefusalCase cases[] = {
        {"empty file", "", wrongType + "it holds no PBM/PGM/PPM header\n"},
        {"only comments", "# one\n  # two\n", wrongType + "it holds no PBM/PGM/PPM header\n"},
        {"no P", "X5\n1 1\n255\n\x01",
         notPnm + "its first word is not a format number such as P5\n"},
        {"P0", "P0\n1 1\n255\n", notPnm + "its first word is not a format number such as P5\n"},
        {"P without number", "P\n1 1\n255\n",
         notPnm + "its first word is not a format number such as P5\n"},
        {"bitmap text", "BM\x36\x00",
         notPnm + "its first word is not a format number such as P5\n"},
        {"P7", "P7\n1 1\n255\n1 2 3\n",
         wrongType + "format P7 is none of P1 to P6 (PBM, PGM, PPM)\n"},
        {"PPM maxval 65536", "P6\n1 1\n65536\nabcdef",
         wrongType + "maxval 65536 is not 1 to 65535\n"},
        {"maxval 0", "P2\n1 1\n0\n0\n", wrongType + "maxval 0 is not 1 to 65535\n"},
        {"negative width", "P2\n-3 1\n255\n1 2 3\n", wrongType + "its size -3 x 1 has no pixels\n"},
        {"word where a number is expected", "P2\nabc 3 2\n255\n1 2 3 4 5 6\n",
         wrongType + "its header holds a word where a number belongs\n"},
        {"header never completed", "P2\n3 2\n",
         wrongType + "its header ends before the width, height and maxval\n"},
        {"plain PBM too short", "P1\n3 2\n1 0 1\n0 1\n", plainCut},
        {"comment among plain PBM pixels", "P1\n3 2\n1 0 1\n# x\n0 1 0\n", plainCut},
        {"letter among plain PGM samples", "P2\n3 2\n255\n1 x 3 4 5 6\n", plainCut},
        // Raw pixels take a known number of bytes: 6 of one byte, 6 of two, 2 rows of one.
        {"raw PGM too short", "P5\n3 2\n255\n\x01\x02\x03\x04\x05",
         truncated + "3 x 2 pixels need 6 bytes, the file holds 5\n"},
        {"raw 16-bit PGM too short", "P5\n3 2\n1000\n\x01\x02\x03\x04\x05\x06\x07",
         truncated + "3 x 2 pixels need 12 bytes, the file holds 7\n"},
        {"raw PBM too short", std::string("P4\n3 2\n\x80", 8),
         truncated + "3 x 2 pixels need 2 bytes, the file holds 1\n"},
        {"huge raw PGM", "P5\n2147483647 2147483647\n255\n\x01\x02",
         "ERROR: file '%s' is too large (2147483647 x 2147483647 pixels; the limit is 32767 "
         "pixels a side and 268435456 pixels in all)\n"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::string path = WriteScratchFile("refused.pnm", c.content);
        const std::string expected = WithPath(c.message, path);
        EXPECT_FALSE(ReadPnmFirstFrame(path, recorder.Sink()).has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
    }
}

// PGM samples above maxval 255, plain or two big-endian bytes, scale as PPM samples do:
// stretched to 16 bits, the high byte taken (a sample above maxval counts as maxval).
TEST(ReadPnmFirstFrame, SixteenBitGreyScalesAsColourDoes) {
    const struct {
        const char* what;
        std::string content;
        std::vector<std::uint8_t> pixels;
    } cases[] = {
        // 0x1234 >> 8 = 0x12; 0xFF00 >> 8 = 0xFF; 0x0080 >> 8 = 0.
        {"raw, maxval 65535",
         std::string("P5\n3 1\n65535\n\x12\x34\xFF\x00\x00\x80", 19),
         {0x12, 0xFF, 0}},
        // 500 * 65535 / 1000 = 32767 -> 127; 1000 -> 255; 1200 counts as 1000; 3 -> 196 -> 0.
        {"plain, maxval 1000", "P2 4 1 1000\n500 1000 1200 3\n", {127, 255, 255, 0}},
        // 256 * 65535 / 256 = 65535 -> 255; 128 -> 32767 -> 127.
        {"raw, maxval 256", std::string("P5\n2 1\n256\n\x01\x00\x00\x80", 15), {255, 127}},
        // The plain samples again as a PPM's greys: the same levels.
        {"plain PPM, maxval 1000",
         "P3 4 1 1000\n500 500 500 1000 1000 1000 1200 1200 1200 3 3 3\n",
         {127, 255, 255, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            ReadPnmFirstFrame(WriteScratchFile("deep.pnm", c.content), recorder.Sink());
        ASSERT_TRUE(image.has_value()) << recorder.Messages().front();
        EXPECT_EQ(image->levels, 256);
        EXPECT_EQ(image->pixels, c.pixels);
    }
}

TEST(ReadPnmFirstFrame, MissingFileNamesThePath) {
    MessageRecorder recorder;
    const std::string path = (ScratchFolder() / "no_such_picture.pgm").string();
    EXPECT_FALSE(ReadPnmFirstFrame(path, recorder.Sink()).has_value());
    EXPECT_EQ(recorder.Messages(),
              std::vector<std::string>{"ERROR: failed to open file '" + path + "' for reading\n" +
                                       MissingFileReason()});
}

} // namespace

namespace {

using namespace readers_test;

TEST(ReadPnmFirstFrame, PlainAndRawDataAcrossInputBlocks) {
    // More than 64 KiB of samples, so numbers and bytes straddle the reader's blocks.
    constexpr int width = 301;
    constexpr int height = 230;
    std::string plain = "P2\n301 230\n255\n";
    std::string raw = "P5\n301 230\n255\n";
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < width * height; ++i) {
        const auto value = static_cast<std::uint8_t>(i * 37 + i / 301);
        expected.push_back(value);
        plain += std::to_string(value) + (i % 17 == 16 ? "\n" : " ");
        raw += static_cast<char>(value);
    }
    ASSERT_GT(raw.size(), 65536u);
    for (const std::string& content : {plain, raw}) {
        const std::optional<SourceImage> image =
            ReadPnmFirstFrame(WriteScratchFile("large.pgm", content), MessageSink{});
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->pixels, expected) << content.substr(0, 2);
    }
}

} // namespace
