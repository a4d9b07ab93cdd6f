// Run-length coded bitmaps built unit by unit, their pixels worked out by hand: runs,
// stored pixels with their padding, moves, ends of rows and of the bitmap, pixels past the
// right edge, and data that end too early.
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;
using Bytes = std::vector<std::uint8_t>;

struct RunLengthCase {
    const char* what;
    int bitCount; // 8: RLE8, 4: RLE4
    int width;
    int height;
    Bytes data;
    Bytes pixels; // top row first, as LoadImageFile gives them; empty: cut short
};

// Indices of a 4-bit bitmap come scaled to 0-255 (index * 17).
Bytes Scaled(Bytes indices) {
    for (std::uint8_t& index : indices) {
        index = static_cast<std::uint8_t>(index * 17);
    }
    return indices;
}

TEST(RunLengthBitmap, DecodesAsWorkedOutByHand) {
    const RunLengthCase cases[] = {
        // Bottom row: a run of three 7s and two 9s; middle: five 1s; top: 4 5 6 stored as
        // they are (and a pad byte), then two 8s; end of bitmap.
        {"RLE8 runs, stored pixels, ends of rows",
         8,
         5,
         3,
         {3, 7, 2, 9, 0, 0, 5, 1, 0, 0, 0, 3, 4, 5, 6, 0, 2, 8, 0, 1},
         {4, 5, 6, 8, 8, 1, 1, 1, 1, 1, 7, 7, 7, 9, 9}},
        // Two 3s, a move one right and one up to (3, 1), one 4, end of bitmap: every pixel
        // skipped is index 0.
        {"RLE8 move and early end",
         8,
         5,
         3,
         {2, 3, 0, 2, 1, 1, 1, 4, 0, 1},
         {0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 3, 3, 0, 0, 0}},
        // Seven 2s on a row of five: two are dropped; the last end of row ends the bitmap.
        {"RLE8 run past the right edge, no end mark",
         8,
         5,
         3,
         {7, 2, 0, 0, 0, 0, 0, 0},
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 2}},
        // Bottom row: 1 2 1 2 1 from one byte's nibbles; middle: 3 4 5 stored (two bytes,
        // no pad), then A B from a run of three whose last pixel falls off the edge.
        {"RLE4 alternating nibbles and stored pixels",
         4,
         5,
         3,
         {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 3, 0xAB, 0, 0, 0, 1},
         Scaled({0, 0, 0, 0, 0, 3, 4, 5, 10, 11, 1, 2, 1, 2, 1})},
        // Five stored nibbles take three bytes and a pad byte.
        {"RLE4 stored pixels with a pad byte",
         4,
         5,
         1,
         {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 1},
         Scaled({1, 2, 3, 4, 5})},
        {"cut inside a unit", 8, 5, 3, {3, 7, 0}, {}},
        {"cut inside stored pixels", 8, 5, 3, {0, 3, 1, 2}, {}},
        {"cut inside a move", 8, 5, 3, {0, 2, 1}, {}},
        {"rows left without an end mark", 8, 5, 3, {5, 1, 0, 0}, {}},
    };
    for (const RunLengthCase& c : cases) {
        SCOPED_TRACE(c.what);
        BmpFields fields;
        fields.width = c.width;
        fields.height = c.height;
        fields.bitCount = static_cast<std::uint16_t>(c.bitCount);
        fields.compression = c.bitCount == 8 ? 1 : 2;
        const Bytes table(4u << c.bitCount, 0);
        const std::string path = WriteScratchFile("coded.bmp", MakeBmp(fields, table, c.data));
        MessageRecorder recorder;
        const std::optional<SourceImage> image = LoadImageFile(path, recorder.Sink());
        if (c.pixels.empty()) {
            EXPECT_FALSE(image.has_value());
            EXPECT_EQ(recorder.Messages(),
                      std::vector<std::string>{
                          "ERROR: truncated input file (not enough pixel data)\n  in '" + path +
                          "': not enough data for " + std::to_string(c.width) + " x " +
                          std::to_string(c.height) + " pixels\n"});
            continue;
        }
        ASSERT_TRUE(image.has_value()) << recorder.Messages().front();
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_TRUE(image->indexed);
    }
}

} // namespace
