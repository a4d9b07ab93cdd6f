// Tests of the conversion writer: whole output files compared byte for byte against
// records derived by hand, the output name, and every failure with its message and its
// effect on an existing output file.
#include "conversion_request.h"
#include "convert_images.h"
#include "file_request.h"
#include "path_limit.h"

#include "system_reasons.h"
#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A binary PGM with maxval 255, so every pixel byte is read back unchanged.
void WritePgm(const std::string& path, int width, int height, const Bytes& pixels) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    writer_test::WriteWholeFile(path, bytes);
}

void PutLE(Bytes& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int k = 0; k < size; ++k) {
        bytes[offset + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

// A 4-bit bitmap with a 16-entry colour table; `table` holds red, green, blue of the
// first entries, `rows` the stored rows (bottom row first), already padded.
void WriteBmp4(const std::string& path, int width, int height, const Bytes& table,
               const Bytes& rows) {
    Bytes bytes(14 + 40 + 64, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLE(bytes, 2, static_cast<std::uint32_t>(bytes.size() + rows.size()), 4);
    PutLE(bytes, 10, 14 + 40 + 64, 4);
    PutLE(bytes, 14, 40, 4);
    PutLE(bytes, 18, static_cast<std::uint32_t>(width), 4);
    PutLE(bytes, 22, static_cast<std::uint32_t>(height), 4);
    PutLE(bytes, 26, 1, 2);
    PutLE(bytes, 28, 4, 2);
    PutLE(bytes, 46, 16, 4);
    for (std::size_t entry = 0; entry * 3 < table.size(); ++entry) {
        bytes[54 + 4 * entry] = table[3 * entry + 2];
        bytes[55 + 4 * entry] = table[3 * entry + 1];
        bytes[56 + 4 * entry] = table[3 * entry];
    }
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    writer_test::WriteWholeFile(path, bytes);
}

// 10 x 3 grey picture; depth-1 bits by row: 10110001 10, 01001110 01, 11100000 11.
const Bytes Picture10x3 = {
    200, 0,   128, 255, 127, 3,   90,  129, 255, 127, //
    10,  128, 127, 0,   250, 130, 199, 1,   127, 128, //
    255, 201, 128, 127, 0,   100, 50,  126, 222, 255,
};

TEST(ConvertImagesTest, OnePictureTwoTypesGivesTwoFullFrames) {
    ScratchFolder folder("convert_two_types");
    const std::string picture = folder.File("logo.pgm");
    WritePgm(picture, 10, 3, Picture10x3);
    writer_test::MessageRecorder messages;
    ASSERT_EQ(WritePicturesAsFrames({picture}, {MakeTypeCode(0x00, 1), MakeTypeCode(0x01, 8)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    const Bytes expected = {
        // depth 1, row order: B1 80 4E 40 E0 C0, all literals
        0x12, 0, 0, 0, 0x02, 0xA2, 0x00, 1, 10, 0, 3, 0, //
        0xB1, 0x80, 0x4E, 0x40, 0xE0, 0xC0,
        // depth 8, column order: the values column by column; the two 127s of column 4
        // and 5 become 127, 127, 0
        0x2B, 0, 0, 0, 0x02, 0xA2, 0x01, 8, 10, 0, 3, 0,                       //
        200, 10, 255, 0, 128, 201, 128, 127, 128, 255, 0, 127, 127, 0, 250, 0, //
        3, 130, 100, 90, 199, 50, 129, 1, 126, 255, 127, 222, 127, 128, 255};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("logo.ztr")), expected);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));
}

TEST(ConvertImagesTest, InvertedYColumnOrderPutsTheBottomRowFirst) {
    ScratchFolder folder("convert_inverted_columns");
    const std::string picture = folder.File("logo.pgm");
    WritePgm(picture, 10, 3, Picture10x3);
    ASSERT_EQ(WritePicturesAsFrames({picture}, {MakeTypeCode(0x11, 1)}, 0, ConversionContext{}),
              Outcome{});
    // Columns with rows 2, 1, 0 in bits 7, 6, 5: A0 C0 A0 20 40 40 40 20 A0 C0.
    const Bytes expected = {0x16, 0,    0,    0,    0x02, 0xA2, 0x11, 1,    10,   0,    3,
                            0,    0xA0, 0xC0, 0xA0, 0x20, 0x40, 0x40, 0x01, 0x20, 0xA0, 0xC0};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("logo.ztr")), expected);
}

TEST(ConvertImagesTest, ThreePicturesGiveFullFrameAndTwoAlignedDeltas) {
    ScratchFolder folder("convert_three");
    const std::string first = folder.File("a.pgm");
    const std::string second = folder.File("b.pgm");
    const std::string third = folder.File("c.pgm");
    Bytes pixels(33, 0); // 11 x 3, all dark
    WritePgm(first, 11, 3, pixels);
    pixels[1 * 11 + 9] = 255;
    WritePgm(second, 11, 3, pixels);
    pixels[2 * 11 + 2] = 255;
    WritePgm(third, 11, 3, pixels);
    ASSERT_EQ(WritePicturesAsFrames({first, second, third}, {MakeTypeCode(0x00, 1)}, 300,
                                    ConversionContext{}),
              Outcome{});
    const Bytes expected = {
        // full frame: six zero bytes, coded as 0 and the count 5
        0x0E, 0, 0, 0, 0x02, 0xA2, 0x00, 1, 11, 0, 3, 0, 0x00, 0x05,
        // pixel (9, 1): x aligned to 8, width cut to the edge: 3 x 1 at (8, 1) -> 010
        0x13, 0, 0, 0, 0x02, 0xA2, 0x20, 1, 3, 0, 1, 0, 0x2C, 0x01, 8, 0, 1, 0, 0x40,
        // pixel (2, 2): 8 x 1 at (0, 2) -> 00100000, last frame
        0x13, 0, 0, 0, 0x02, 0xA2, 0xA0, 1, 8, 0, 1, 0, 0x2C, 0x01, 0, 0, 2, 0, 0x20};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), expected);
}

TEST(ConvertImagesTest, AnimationBackToTheFirstPicture) {
    ScratchFolder folder("convert_animation");
    const std::string a = folder.File("a.pgm");
    const std::string b = folder.File("b.pgm");
    WritePgm(a, 5, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    WritePgm(b, 5, 2, {1, 2, 3, 99, 5, 6, 77, 8, 9, 10});
    ASSERT_EQ(WritePicturesAsFrames({a, b, a}, {MakeTypeCode(0x00, 8)}, 100, ConversionContext{}),
              Outcome{});
    const Bytes expected = {
        0x16, 0, 0, 0, 0x02, 0xA2, 0x00, 8, 5, 0, 2, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
        // B against A: columns 1-3 of both rows
        0x18, 0, 0, 0, 0x02, 0xA2, 0x20, 8, 3, 0, 2, 0, 100, 0, 1, 0, 0, 0, 2, 3, 99, 77, 8, 9,
        // A against B: the same rectangle, last frame
        0x18, 0, 0, 0, 0x02, 0xA2, 0xA0, 8, 3, 0, 2, 0, 100, 0, 1, 0, 0, 0, 2, 3, 4, 7, 8, 9};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), expected);
}

TEST(ConvertImagesTest, EqualPictureGivesEmptyDeltaRecord) {
    ScratchFolder folder("convert_equal");
    const std::string picture = folder.File("logo.pgm");
    WritePgm(picture, 10, 3, Picture10x3);
    ASSERT_EQ(WritePicturesAsFrames({picture, picture}, {MakeTypeCode(0x00, 1)}, 0x1234,
                                    ConversionContext{}),
              Outcome{});
    const Bytes expected = {
        0x12, 0, 0, 0, 0x02, 0xA2, 0x00, 1, 10, 0, 3, 0, 0xB1, 0x80, 0x4E, 0x40, 0xE0, 0xC0, //
        0x12, 0, 0, 0, 0x02, 0xA2, 0xA0, 1, 0,  0, 0, 0, 0x34, 0x12, 0,    0,    0,    0};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("logo.ztr")), expected);
}

TEST(ConvertImagesTest, InvertedYCountsDyInStoredRows) {
    ScratchFolder folder("convert_inverted_dy");
    const std::string first = folder.File("a.pgm");
    const std::string second = folder.File("b.pgm");
    Bytes pixels(9 * 64, 0);
    WritePgm(first, 9, 64, pixels);
    pixels[4] = 255; // top row, column 4
    WritePgm(second, 9, 64, pixels);
    ASSERT_EQ(
        WritePicturesAsFrames({first, second}, {MakeTypeCode(0x10, 1)}, 0, ConversionContext{}),
        Outcome{});
    const Bytes expected = {// 128 zero bytes: 0 and the count 127
                            0x0E, 0, 0, 0, 0x02, 0xA2, 0x10, 1, 9, 0, 64, 0, 0x00, 0x7F,
                            // the top row is stored last: dy = 63; columns 0-7 -> 00001000
                            0x13, 0, 0, 0, 0x02, 0xA2, 0xB0, 1, 8, 0, 1, 0, 0, 0, 0, 0, 63, 0,
                            0x08};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), expected);
}

// 5 x 3 grey levels on both sides of the 2-bit and 4-bit steps, and the same picture
// with pixel (2, 0) made white and (3, 1) dark. By hand, value >> 6 and value >> 4:
//   depth 2  3 0 1 2 3 / 1 1 0 3 2 / 2 3 3 0 1   then (2, 0) = 3, (3, 1) = 0
//   depth 4  F 3 4 B C / 7 6 0 C 8 / A F C 0 5   then (2, 0) = F, (3, 1) = 1
const Bytes Grey5x3 = {255, 63, 64, 191, 192, 127, 100, 10, 200, 128, 170, 250, 193, 0, 90};
const Bytes Grey5x3Changed = {255, 63, 255, 191, 192, 127, 100, 10, 20, 128, 170, 250, 193, 0, 90};

TEST(ConvertImagesTest, GreyRecordsWorkedOutByHand) {
    ScratchFolder folder("convert_grey");
    const std::string first = folder.File("a.pgm");
    const std::string second = folder.File("b.pgm");
    WritePgm(first, 5, 3, Grey5x3);
    WritePgm(second, 5, 3, Grey5x3Changed);
    ASSERT_EQ(WritePicturesAsFrames({first, second}, {MakeTypeCode(0x11, 2), MakeTypeCode(0x00, 4)},
                                    50, ConversionContext{}),
              Outcome{});
    // Without dithering each grey's top bits are its level: g / 64 at depth 2, g / 16 at 4.
    const Bytes expected = {
        // depth 2, column order, inverted Y: levels 3 0 1 2 3 / 1 1 0 3 2 / 2 3 3 0 1; each
        // column's stored rows 2, 1, 0 in bits 7-2: 2 1 3 -> 9C, 3 1 0 -> D0, 3 0 1 -> C4,
        // 0 3 2 -> 38, 1 2 3 -> 6C
        0x11, 0, 0, 0, 0x02, 0xA2, 0x11, 2, 5, 0, 3, 0, 0x9C, 0xD0, 0xC4, 0x38, 0x6C,
        // the change lies in stored rows 1-2, columns 2-3; y aligned to whole bytes of
        // four rows (0-3) and cut at the bottom: 2 x 3 at (2, 0); 3 0 3 -> CC, 0 0 2 -> 08
        0x14, 0, 0, 0, 0x02, 0xA2, 0xB1, 2, 2, 0, 3, 0, 50, 0, 2, 0, 0, 0, 0xCC, 0x08,
        // depth 4, row order: rows F3 4B C0, 76 0C 80, AF C0 50
        0x15, 0, 0, 0, 0x02, 0xA2, 0x00, 4, 5, 0, 3, 0, 0xF3, 0x4B, 0xC0, 0x76, 0x0C, 0x80, 0xAF,
        0xC0, 0x50,
        // columns 2-3 of rows 0-1, x already on a byte: F B -> FB, 0 1 -> 01
        0x14, 0, 0, 0, 0x02, 0xA2, 0xA0, 4, 2, 0, 2, 0, 50, 0, 2, 0, 0, 0, 0xFB, 0x01};
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), expected);
}

TEST(ConvertImagesTest, LayoutByteRules) {
    struct LayoutCase {
        std::uint16_t layout;
        std::uint8_t depth;
        std::uint8_t expected;
    };
    const LayoutCase cases[] = {
        {0x0A, 1, 0x02},   // planar cleared: one plane is the packed record
        {0x07, 8, 0x01},   // reversal and banding cleared: column order
        {0x1F, 1, 0x17},   // only planar cleared
        {0x16, 8, 0x10},   // inverted Y kept, row order
        {0x1E, 8, 0x10},   // the same planar: depth 8 has no planes, so only inverted Y stays
        {0x0103, 1, 0x03}, // bits 8-15 of the lay-out code are not used
        {0x0A, 2, 0x0A},   // planar kept at depths 2 and 4 with banding and reversal,
        {0x1F, 4, 0x1F},   // as its planes are packed as at depth 1
        {0x0E, 4, 0x0E},   {0x0F, 8, 0x01},
        {0x0C, 16, 0x04}, // colour has no planes: planar cleared
        {0x1B, 24, 0x11},
    };
    ScratchFolder folder("convert_layout");
    const std::string picture = folder.File("logo.pgm");
    WritePgm(picture, 10, 3, Picture10x3);
    for (const LayoutCase& c : cases) {
        ASSERT_EQ(WritePicturesAsFrames({picture}, {MakeTypeCode(c.layout, c.depth)}, 0,
                                        ConversionContext{}),
                  Outcome{});
        const Bytes file = writer_test::ReadWholeFile(folder.File("logo.ztr"));
        ASSERT_GE(file.size(), 12u);
        EXPECT_EQ(file[6], c.expected) << "lay-out code " << c.layout;
        EXPECT_EQ(file[7], c.depth);
    }
}

TEST(ConvertImagesTest, BitmapPaletteIsStoredForItsDepth) {
    ScratchFolder folder("convert_palette");
    const std::string picture = folder.File("colour.bmp");
    // 3 x 2, indices top row 15 0 9, bottom row 1 8 7; stride 4 bytes.
    WriteBmp4(picture, 3, 2, {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0, 0x01, 0x02, 0x03},
              {0x18, 0x70, 0, 0, 0xF0, 0x90, 0, 0});
    ASSERT_EQ(WritePicturesAsFrames({picture},
                                    {MakeTypeCode(0x00, 1), MakeTypeCode(0x00, 8),
                                     MakeTypeCode(0x00, 4), MakeTypeCode(0x00, 2)},
                                    0, ConversionContext{}),
              Outcome{});
    Bytes depth8Palette(768, 0);
    const Bytes table = {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0, 0x01, 0x02, 0x03};
    std::copy(table.begin(), table.end(), depth8Palette.begin());
    Bytes depth4Palette(48, 0);
    std::copy(table.begin(), table.end(), depth4Palette.begin());
    const Bytes expected = Concat({
        // depth 1: indices 8 and up are light: 101 and 010
        {0x14, 0, 0, 0, 0x02, 0xA2, 0x40, 1, 3, 0, 2, 0},
        {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0},
        {0xA0, 0x40},
        // depth 8: 12 + 768 + 6 = 786 bytes; indices scaled by 17
        {0x12, 0x03, 0, 0, 0x02, 0xA2, 0x40, 8, 3, 0, 2, 0},
        depth8Palette,
        {255, 0, 153, 17, 136, 119},
        // depth 4: the indices themselves, with all 16 entries: F0 90 / 18 70
        {0x40, 0, 0, 0, 0x02, 0xA2, 0x40, 4, 3, 0, 2, 0},
        depth4Palette,
        {0xF0, 0x90, 0x18, 0x70},
        // depth 2: the indices' top two bits (3 0 2 / 0 2 1) and the first 4 entries
        {0x1A, 0, 0, 0, 0x02, 0xA2, 0x40, 2, 3, 0, 2, 0},
        {0x10, 0x20, 0x30, 0xF0, 0xE0, 0xD0, 0x01, 0x02, 0x03, 0, 0, 0},
        {0xC8, 0x24},
    });
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("colour.ztr")), expected);
}

TEST(ConvertImagesTest, OutputPathForReplacesTheExtension) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\pics\\logo.bmp", "C:\\pics\\logo.ztr"},
        {"C:\\my.dir\\logo", "C:\\my.dir\\logo.ztr"},
        {"C:\\my.dir\\logo.pgm", "C:\\my.dir\\logo.ztr"},
        {"v1.2/pic", "v1.2/pic.ztr"},
        {"./pic", "./pic.ztr"},
        {"dir.x/pic.pgm", "dir.x/pic.ztr"},
        {"a.b.c", "a.b.ztr"},
        {"noext", "noext.ztr"},
        {"name.", "name.ztr"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(OutputPathFor(input), expected) << input;
    }
}

TEST(ConvertImagesTest, ExistingOutputReplacedOnSuccessKeptOnFailure) {
    ScratchFolder folder("convert_existing");
    const std::string picture = folder.File("logo.pgm");
    const std::string output = folder.File("logo.ztr");
    WritePgm(picture, 10, 3, Picture10x3);
    writer_test::WriteWholeFile(output, Bytes{0xEE, 0xEE, 0xEE});

    writer_test::MessageRecorder messages;
    const std::string missing = folder.File("missing.pgm");
    EXPECT_NE(WritePicturesAsFrames({picture, missing}, {MakeTypeCode(0x00, 1)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"ERROR: failed to open file '" + missing +
                                       "' for reading\n" + MissingFileReason()});
    EXPECT_EQ(writer_test::ReadWholeFile(output), (Bytes{0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));

    EXPECT_EQ(WritePicturesAsFrames({picture}, {MakeTypeCode(0x00, 1)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    EXPECT_EQ(writer_test::ReadWholeFile(output),
              (Bytes{0x12, 0, 0, 0, 0x02, 0xA2, 0x00, 1, 10, 0, 3, 0, 0xB1, 0x80, 0x4E, 0x40, 0xE0,
                     0xC0}));
}

struct FailureCase {
    const char* name;
    std::vector<std::uint32_t> typeCodes;
    int secondWidth;
    int secondHeight;
    std::string expectedMessage; // "%s" stands for the second picture's path
};

TEST(ConvertImagesTest, FailuresReportOnceAndWriteNothing) {
    const FailureCase cases[] = {
        {"depth 12",
         {MakeTypeCode(0x00, 1), MakeTypeCode(0x00, 12)},
         10,
         3,
         "ERROR: unsupported colour depth\n"},
        {"depth 0", {MakeTypeCode(0x00, 0)}, 10, 3, "ERROR: unsupported colour depth\n"},
        {"size mismatch",
         {MakeTypeCode(0x00, 1)},
         9,
         3,
         "ERROR: picture '%s' is 9 x 3, but the sequence's first picture is 10 x 3\n"},
        {"height mismatch",
         {MakeTypeCode(0x01, 8)},
         10,
         4,
         "ERROR: picture '%s' is 10 x 4, but the sequence's first picture is 10 x 3\n"},
        {"too wide",
         {MakeTypeCode(0x00, 8)},
         32768,
         1,
         "ERROR: file '%s' is too large (32768 x 1 pixels; the limit is 32767 pixels a side and "
         "268435456 pixels in all)\n"},
    };
    for (const FailureCase& c : cases) {
        ScratchFolder folder("convert_failure");
        const std::string first = folder.File("first.pgm");
        const std::string second = folder.File("second.pgm");
        WritePgm(first, 10, 3, Picture10x3);
        WritePgm(second, c.secondWidth, c.secondHeight,
                 Bytes(static_cast<std::size_t>(c.secondWidth * c.secondHeight), 7));
        writer_test::MessageRecorder messages;
        EXPECT_NE(WritePicturesAsFrames({first, second, first}, c.typeCodes, 0,
                                        ConversionContext{messages.Sink()}),
                  Outcome{})
            << c.name;
        std::string expected = c.expectedMessage;
        if (const std::size_t at = expected.find("%s"); at != std::string::npos) {
            expected.replace(at, 2, second);
        }
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{expected}) << c.name;
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"first.pgm", "second.pgm"}))
            << c.name;
    }
}

TEST(ConvertImagesTest, EmptyPictureIsAnInvalidSize) {
    ScratchFolder folder("convert_empty");
    const std::string picture = folder.File("empty.bmp");
    WriteBmp4(picture, 0, 0, {}, {});
    writer_test::MessageRecorder messages;
    EXPECT_NE(WritePicturesAsFrames({picture}, {MakeTypeCode(0x00, 1)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"ERROR: invalid size (width=0, height=0)\n  in '" + picture +
                                       "': a picture has 1 to 32767 pixels a side\n"});
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"empty.bmp"});
}

TEST(ConvertImagesTest, TooLongOutputPathIsRefused) {
    ScratchFolder folder("convert_long");
    const std::string picture = folder.File(std::string(MAX_PATH_CHARS, 'p') + ".pgm");
    writer_test::MessageRecorder messages;
    EXPECT_NE(WritePicturesAsFrames({picture}, {MakeTypeCode(0x00, 1)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"ERROR: failed to open file '" + OutputPathFor(picture) +
                                       "' for writing\n" + TooLongPathReason()});
    EXPECT_TRUE(folder.Entries().empty());
}

#ifndef _WIN32
TEST(ConvertImagesDeathTest, WriteErrorIsReportedOnceAndKeepsTheOldOutput) {
    ScratchFolder folder("convert_write_error");
    const std::string picture = folder.File("big.pgm");
    const std::string output = folder.File("big.ztr");
    Bytes pixels(200 * 150);
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        pixels[k] = static_cast<std::uint8_t>(k * 7 + k / 200);
    }
    WritePgm(picture, 200, 150, pixels);
    writer_test::WriteWholeFile(output, Bytes{1, 2, 3});
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = 1000;
            limit.rlim_max = 1000;
            setrlimit(RLIMIT_FSIZE, &limit);
            writer_test::MessageRecorder messages;
            const Outcome result = WritePicturesAsFrames({picture}, {MakeTypeCode(0x00, 8)}, 0,
                                                         ConversionContext{messages.Sink()});
            const bool reported =
                messages.Messages() == std::vector<std::string>{"ERROR: failed to write file '" +
                                                                output + "'\n  File too large\n"};
            std::_Exit(result.code == OutcomeCode::CannotWrite && reported ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(writer_test::ReadWholeFile(output), (Bytes{1, 2, 3}));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"big.pgm", "big.ztr"}));
}
#endif

} // namespace

namespace {

// The front ends' loop: per picture it writes one file each and stops at the first
// failure; an animation is the pictures and then the first again, all with the delay;
// a delay beyond 16 bits is refused before anything is written.
TEST(ConvertPictureListTest, PerPictureAndAnimation) {
    ScratchFolder folder("picture_list");
    const std::string a = folder.File("a.pgm");
    const std::string b = folder.File("b.pgm");
    const std::string c = folder.File("c.pgm");
    WritePgm(a, 10, 3, Picture10x3);
    Bytes changed = Picture10x3;
    changed[13] = 255;
    WritePgm(c, 10, 3, changed);
    const std::vector<std::uint32_t> codes = {MakeTypeCode(0x00, 1), MakeTypeCode(0x01, 8)};

    writer_test::MessageRecorder messages;
    const ConversionContext context{messages.Sink()};
    const ConversionEnvironment environment{messages.Sink()};
    const Outcome missing =
        RunConversion(writer_test::FileRequest({a, b, c}, codes, false, 500), environment);
    EXPECT_EQ(missing.code, OutcomeCode::CannotOpenForReading);
    EXPECT_EQ(missing.file, b);
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"ERROR: failed to open file '" + b + "' for reading\n" +
                                       MissingFileReason()});
    // Every picture is opened before anything is written: the first picture's file is not.
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.pgm", "c.pgm"}));

    const std::vector<Frame> frames =
        AnimationFrames(writer_test::FileRequest({a, c}, codes, true, 77));
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ((std::vector<std::string>{frames[0].path, frames[1].path, frames[2].path}),
              (std::vector<std::string>{a, c, a}));
    for (const Frame& frame : frames) {
        EXPECT_EQ(frame.delay, 77);
    }
    ASSERT_EQ(WritePicturesAsFrames({a, c, a}, codes, 77, context), Outcome{});
    const Bytes expected = writer_test::ReadWholeFile(folder.File("a.ztr"));
    std::filesystem::remove(folder.File("a.ztr"));
    EXPECT_EQ(RunConversion(writer_test::FileRequest({a, c}, codes, true, 77), environment),
              Outcome{});
    EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), expected);

    EXPECT_EQ(RunConversion(writer_test::FileRequest({c, a}, codes, true, 65536), environment),
              (Outcome{.code = OutcomeCode::InvalidDelay, .numbers = {65535}}));
    EXPECT_EQ(messages.Messages().back(), "ERROR: the delay must be between 0 and 65535 ms\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("c.ztr")));
}

} // namespace
