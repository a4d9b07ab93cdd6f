// Byte identity of whole conversions: the bundled samples and a few small test pictures,
// converted by ztr for every lay-out the writer supports, without --coding and with
// --coding rle, must give exactly the files in tests/data/expected (written by
// tests/data/expected/make-expected). Any change to the readers, the changed rectangle,
// the packers, the coder or the writer that alters a single byte fails here. With
// --coding auto (with either --window) and squash the same conversions must render,
// record by record and built up, exactly as the expected files do.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Depths 2 and 4 in every order, reversed and with inverted Y-axis, and planar codes (two
// and four bit planes); written to name_grey.ztr, so that the files above stay as they
// were.
const std::vector<std::string> GREY_TYPE_CODES = {
    "0x20000", "0x20014", "0x20001", "0x20015", "0x20002", "0x20016", "0x20003",
    "0x20017", "0x2000A", "0x40000", "0x40004", "0x40010", "0x40001", "0x40011",
    "0x40002", "0x40006", "0x40003", "0x40007", "0x4001B"};

// Depths 16 and 24 in both orders, plain and reversed, a banded code with inverted Y-axis
// and a banded planar one (the writer turns both into plain orders); written to
// name_colour.ztr for the colour conversions.
const std::vector<std::string> COLOUR_TYPE_CODES = {"0x100000", "0x100004", "0x100001", "0x100005",
                                                    "0x100012", "0x10000B", "0x180000", "0x180004",
                                                    "0x180001", "0x180005", "0x180014", "0x18000A"};

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

// Keep in step with make-expected: a colour photo, a colour animation whose second frame
// changes only the hue at equal luminance, a bitmap with a colour table and a grey
// animation.
std::vector<Conversion> ColourConversions() {
    return {
        {"photo_43x29", "", {SAMPLES / "photo_43x29.png"}},
        {"colour_anim",
         "60",
         {SAMPLES / "colour_anim_0.png", SAMPLES / "colour_anim_1.png",
          SAMPLES / "colour_anim_2.png"}},
        {"colours_61x37", "", {SAMPLES / "colours_61x37.bmp"}},
        {"edge",
         "40",
         {EXPECTED / "inputs" / "edge_0.pgm", EXPECTED / "inputs" / "edge_1.pgm",
          EXPECTED / "inputs" / "edge_2.pgm", EXPECTED / "inputs" / "edge_3.pgm",
          EXPECTED / "inputs" / "edge_4.pgm"}},
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

// Every record of a file rendered by one ztr render FIRST-LAST (delta records built up),
// the PPM files in order; empty when ztr fails.
std::vector<std::string> RenderAll(const std::filesystem::path& file,
                                   const std::filesystem::path& folder, const std::string& stem) {
    const ZtrResult list = RunZtr({"list", file.string()}, folder);
    const auto records =
        static_cast<std::size_t>(std::count(list.out.begin(), list.out.end(), '\n'));
    const ZtrResult render = RunZtr(
        {"render", file.string(), "0-" + std::to_string(records - 1), "-o", stem + "%03d.ppm"},
        folder);
    std::vector<std::string> pictures;
    if (list.status != 0 || records == 0 || render.status != 0) {
        ADD_FAILURE() << file << ": " << list.err << render.err;
        return pictures;
    }
    for (std::size_t k = 0; k < records; ++k) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%03zu.ppm", stem.c_str(), k);
        pictures.push_back(ReadWholeFile(folder / name));
    }
    return pictures;
}

// Converts the conversion's pictures for the type codes, with --coding when one is given,
// and compares the output with the expected file name + suffix + ".ztr": byte for byte
// for the run-length coding, as rendered pictures for the others.
void ExpectConversion(const Conversion& conversion, const std::vector<std::string>& codes,
                      const std::string& suffix, const std::string& coding = {}) {
    ScratchDirectory scratch("expected-" + conversion.name + suffix + coding + "-" +
                             std::to_string(::getpid()));
    std::vector<std::string> args = {"convert"};
    if (coding == "auto, window frame") {
        args.insert(args.end(), {"--coding", "auto", "--window", "frame"});
    } else if (!coding.empty()) {
        args.insert(args.end(), {"--coding", coding});
    }
    if (!conversion.delay.empty()) {
        args.insert(args.end(), {"--animation", "--delay", conversion.delay});
    }
    for (const std::string& code : codes) {
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
    const std::string expected = ReadWholeFile(EXPECTED / (conversion.name + suffix + ".ztr"));
    ASSERT_FALSE(expected.empty()) << "missing expected file for " << conversion.name << suffix;
    if (coding.empty() || coding == "rle") {
        EXPECT_TRUE(actual == expected) << DescribeFirstDifference(actual, expected);
        return;
    }
    const auto shown = RenderAll(scratch / (conversion.name + "_0.ztr"), scratch.path(), "a");
    const auto wanted =
        RenderAll(EXPECTED / (conversion.name + suffix + ".ztr"), scratch.path(), "e");
    ASSERT_EQ(shown.size(), wanted.size());
    for (std::size_t k = 0; k < shown.size(); ++k) {
        EXPECT_TRUE(shown[k] == wanted[k]) << "record " << k;
    }
}

// The codings that the conversions below are made in: none given, and each by name.
const std::vector<std::string> CODINGS = {"", "rle", "auto", "squash", "auto, window frame"};

class ExpectedOutputTest : public testing::TestWithParam<Conversion> {};

TEST_P(ExpectedOutputTest, ConvertsToTheExpectedBytes) {
    for (const std::string& coding : CODINGS) {
        SCOPED_TRACE("coding '" + coding + "'");
        ExpectConversion(GetParam(), TYPE_CODES, "", coding);
    }
}

TEST_P(ExpectedOutputTest, ConvertsGreyToTheExpectedBytes) {
    for (const std::string& coding : CODINGS) {
        SCOPED_TRACE("coding '" + coding + "'");
        ExpectConversion(GetParam(), GREY_TYPE_CODES, "_grey", coding);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, ExpectedOutputTest, testing::ValuesIn(Conversions()),
                         [](const testing::TestParamInfo<Conversion>& info) {
                             return info.param.name;
                         });

class ExpectedColourOutputTest : public testing::TestWithParam<Conversion> {};

TEST_P(ExpectedColourOutputTest, ConvertsColourToTheExpectedBytes) {
    for (const std::string& coding : CODINGS) {
        if (coding == "auto, window frame") {
            continue; // the window is the dense coding's, which colour records never take
        }
        SCOPED_TRACE("coding '" + coding + "'");
        ExpectConversion(GetParam(), COLOUR_TYPE_CODES, "_colour", coding);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, ExpectedColourOutputTest, testing::ValuesIn(ColourConversions()),
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
