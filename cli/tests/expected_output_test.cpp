// Byte identity of whole conversions: the bundled samples and a few small test pictures,
// converted by ztr for every lay-out the writer supports, must give exactly the files in
// tests/data/expected (written by tests/data/expected/make-expected). Any change to the
// readers, the changed rectangle, the packers, the coder or the writer that alters a
// single byte fails here.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::filesystem::path TEST_DATA = ZENTRA_TEST_DATA;
const std::filesystem::path SAMPLES = TEST_DATA / ".." / ".." / "data" / "samples";
const std::filesystem::path EXPECTED = TEST_DATA / "expected";

// Depth 1 in every order, with and without reversal and inverted Y-axis, a planar code
// (cleared by the writer), and depth 8 in both orders, inverted and with bits it clears.
const std::vector<std::string> TYPE_CODES = {"0x10000", "0x10004", "0x10010", "0x10014", "0x10001",
                                             "0x10005", "0x10011", "0x10002", "0x10006", "0x10016",
                                             "0x10003", "0x10007", "0x1000A", "0x80000", "0x80001",
                                             "0x80010", "0x80007"};

struct Conversion {
    std::string name;                           // output and expected file: name.ztr
    std::string delay;                          // empty: single picture, else an animation
    std::vector<std::filesystem::path> sources; // copied as name_0, name_1 ... in order
};

void PrintTo(const Conversion& conversion, std::ostream* out) {
    *out << conversion.name;
}

// Keep in step with make-expected.
std::vector<Conversion> Conversions() {
    const std::filesystem::path inputs = EXPECTED / "inputs";
    return {
        {"mono_128x64", "", {SAMPLES / "mono_128x64.bmp"}},
        {"colours_61x37", "", {SAMPLES / "colours_61x37.bmp"}},
        {"palette_67x41", "", {SAMPLES / "palette_67x41.bmp"}},
        {"shapes_84x48", "", {SAMPLES / "shapes_84x48.pbm"}},
        {"grey_gradient_75x33", "", {SAMPLES / "grey_gradient_75x33.pgm"}},
        {"plain_grey5x3", "", {TEST_DATA / "netpbm_grey5x3_plain.pgm"}},
        {"plain_grey5x3_maxval15", "", {TEST_DATA / "netpbm_grey5x3_maxval15_plain.pgm"}},
        {"plain_bits10x3", "", {TEST_DATA / "netpbm_bits10x3_plain.pbm"}},
        {"bmp_grey7x5", "", {TEST_DATA / "im_grey7x5_bmp3.bmp"}},
        {"bmp_bits10x3", "", {TEST_DATA / "im_bits10x3_bmp3.bmp"}},
        {"anim",
         "100",
         {SAMPLES / "anim_0.pgm", SAMPLES / "anim_1.pgm", SAMPLES / "anim_2.pgm",
          SAMPLES / "anim_3.pgm", SAMPLES / "anim_4.pgm"}},
        // Changes at the bottom-right corner, a grey step that no 1-bit pixel shows, an
        // unchanged frame (an empty delta record) and a change in the top row.
        {"edge",
         "40",
         {inputs / "edge_0.pgm", inputs / "edge_1.pgm", inputs / "edge_2.pgm",
          inputs / "edge_3.pgm", inputs / "edge_4.pgm"}},
        // One palette picture as an animation: a full frame and an empty delta record,
        // both with the palette.
        {"palette_anim", "7", {SAMPLES / "palette_67x41.bmp"}},
    };
}

std::string DescribeFirstDifference(const std::string& actual, const std::string& expected) {
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "sizes %zu (actual) and %zu (expected); first difference "
                  "at offset %zu",
                  actual.size(), expected.size(), at);
    return text;
}

class ExpectedOutputTest : public testing::TestWithParam<Conversion> {};

TEST_P(ExpectedOutputTest, ConvertsToTheExpectedBytes) {
    const Conversion& conversion = GetParam();
    ScratchDirectory scratch("expected-" + conversion.name + "-" + std::to_string(::getpid()));
    std::vector<std::string> args = {"convert"};
    if (!conversion.delay.empty()) {
        args.insert(args.end(), {"--animation", "--delay", conversion.delay});
    }
    for (const std::string& code : TYPE_CODES) {
        args.insert(args.end(), {"--code", code});
    }
    for (std::size_t k = 0; k < conversion.sources.size(); ++k) {
        const std::filesystem::path& source = conversion.sources[k];
        const std::string name =
            conversion.name + "_" + std::to_string(k) + source.extension().string();
        std::filesystem::copy_file(source, scratch / name);
        args.push_back(name);
    }

    const ZtrResult result = RunZtr(args, scratch.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");

    const std::string actual = ReadWholeFile(scratch / (conversion.name + "_0.ztr"));
    const std::string expected = ReadWholeFile(EXPECTED / (conversion.name + ".ztr"));
    ASSERT_FALSE(expected.empty()) << "missing expected file for " << conversion.name;
    EXPECT_TRUE(actual == expected) << DescribeFirstDifference(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Samples, ExpectedOutputTest, testing::ValuesIn(Conversions()),
                         [](const testing::TestParamInfo<Conversion>& info) {
                             return info.param.name;
                         });

// Record `index` of a file, found by walking the record lengths (bytes 0-3).
std::string RecordAt(const std::string& file, std::size_t index) {
    std::size_t offset = 0;
    for (std::size_t k = 0; offset + 4 <= file.size(); ++k) {
        std::uint32_t length = 0;
        for (int b = 3; b >= 0; --b) {
            length = length << 8 | static_cast<unsigned char>(file[offset + b]);
        }
        if (k == index) {
            return file.substr(offset, length);
        }
        offset += length;
    }
    return {};
}

// A few records of the expected files worked out by hand from the pictures and the format,
// so that the files are known to be right and not only unchanged. Depth 1: a pixel above
// 127 is bit 1, the first pixel in bit 7; run-length coding starts with previous = 0.
TEST(ExpectedOutputByHand, TinyPicturesRecordByRecord) {
    const struct {
        const char* file;
        std::size_t index; // position of the type code in TYPE_CODES
        std::string bytes;
        const char* why;
    } cases[] = {
        // 5 x 3 grey: 0 64 128 192 255 / 255 0 0 0 32 / 10 20 30 40 50.
        {"plain_grey5x3.ztr", 0,
         std::string("\x0F\0\0\0\x02\xA2\x00\x01\x05\0\x03\0\x38\x80\x00", 15),
         "0x10000: rows 00111, 10000, 00000 -> 38 80 00, all literals"},
        {"plain_grey5x3.ztr", 1,
         std::string("\x0F\0\0\0\x02\xA2\x04\x01\x05\0\x03\0\x1C\x01\x00", 15),
         "0x10004: the same bytes mirrored"},
        {"plain_grey5x3.ztr", 4,
         std::string("\x11\0\0\0\x02\xA2\x01\x01\x05\0\x03\0\x40\x00\x80\x80\x01", 17),
         "0x10001: columns 010, 000, 100, 100, 100 -> 40 00 80 80 80; three 80s are 80 80 1"},
        {"plain_grey5x3.ztr", 13,
         std::string("\x1D\0\0\0\x02\xA2\x00\x08\x05\0\x03\0"
                     "\x00\x00\x40\x80\xC0\xFF\xFF\x00\x00\x00\x01\x20\x0A\x14\x1E\x28\x32",
                     29),
         "0x80000: a leading 0 is 0 0; 255 255 is FF FF 0; three zeros after 255 are 0 0 1"},
        // 10 x 3 bitmap (PBM 1 is black, bit 0): rows 0111111100, 1011111110, 0001111101.
        {"plain_bits10x3.ztr", 0,
         std::string("\x12\0\0\0\x02\xA2\x00\x01\x0A\0\x03\0\x7F\x00\xBF\x80\x1F\x40", 18),
         "0x10000: two bytes a row, pixels 8 and 9 in bits 7 and 6 of the second"},
        {"plain_bits10x3.ztr", 2,
         std::string("\x12\0\0\0\x02\xA2\x10\x01\x0A\0\x03\0\x1F\x40\xBF\x80\x7F\x00", 18),
         "0x10010: the same rows bottom row first"},
        {"plain_bits10x3.ztr", 4,
         std::string("\x14\0\0\0\x02\xA2\x01\x01\x0A\0\x03\0\x40\x80\xC0\xE0\xE0\x03\x40\x20", 20),
         "0x10001: columns 40 80 C0 E0 E0 E0 E0 E0 40 20; five E0s are E0 E0 3"},
        {"plain_bits10x3.ztr", 10,
         std::string("\x12\0\0\0\x02\xA2\x03\x01\x0A\0\x03\0\x7F\xBF\x1F\x00\x80\x40", 18),
         "0x10003: band of columns 0-7 row by row, then columns 8-9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_EQ(TYPE_CODES[c.index], std::string(c.why).substr(0, 7));
        EXPECT_TRUE(RecordAt(ReadWholeFile(EXPECTED / c.file), c.index) == c.bytes);
    }
}

} // namespace
