// Tests of the squash coding: streams worked out by hand, round trips at every depth and
// pixel order with odd sizes, the longest runs and literal runs, the zeros before the
// stream's start, decoding in pieces, and damaged streams that the decoder must refuse.
#include "pixel_stream_shape.h"
#include "squash_coding.h"
#include "squash_decoder.h"
#include "zentra_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

PixelStreamShape Shape(unsigned depth, std::size_t lineUnits, std::size_t bytes,
                       bool highByteFirst = false) {
    PixelStreamShape shape;
    shape.depth = depth;
    shape.unitBytes = depth == 24 ? 3 : (depth == 16 ? 2 : 1);
    shape.lineUnits = lineUnits;
    shape.totalBytes = bytes;
    shape.lines = bytes / shape.unitBytes / lineUnits;
    shape.highByteFirst = highByteFirst;
    return shape;
}

Bytes Decode(const Bytes& coded, const PixelStreamShape& shape, std::size_t size,
             SquashResult& result) {
    Bytes out(size);
    std::size_t used = 0;
    result = DecodeSquash(coded, shape, out, used);
    return out;
}

// A deterministic byte source (xorshift), so that failures reproduce.
struct Noise {
    std::uint32_t state;
    std::uint8_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<std::uint8_t>(state >> 11);
    }
};

// A screen-like stream: a background, lines of repeated glyph-like slices, and a gradient
// band, so that runs, copies from the line above and from elsewhere all occur.
Bytes ScreenLike(const PixelStreamShape& shape, std::uint32_t seed) {
    Noise noise{seed};
    Bytes glyph(7 * shape.unitBytes);
    for (auto& b : glyph) {
        b = noise.Next();
    }
    Bytes out(shape.totalBytes, 0xFF);
    const std::size_t line = shape.lineUnits * shape.unitBytes;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t row = i / line;
        const std::size_t column = i % line;
        if (row % 5 == 2 && column > 3) {
            out[i] = glyph[column % glyph.size()];
        } else if (row % 5 == 4) {
            out[i] = static_cast<std::uint8_t>(column * 3 + (noise.Next() & 1));
        }
    }
    return out;
}

TEST(SquashCoding, WorkedExamplesCodeToTheBytesWorkedOutByHand) {
    const struct {
        const char* name;
        PixelStreamShape shape;
        Bytes stream;
        Bytes coded;
    } cases[] = {
        // Depth 1, three lines of 3 bytes: 02 a verbatim run of 3 units and its bytes,
        // 45 a copy of 6 from the line above (kind 010, length field 6 - 1).
        {"line above",
         Shape(1, 3, 9),
         {0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF},
         {0x02, 0x3C, 0x81, 0xFF, 0x45}},
        // Depth 16, low byte first: 0x1082 (r 2, g 4, b 2) and 0x10A3 (r 2, g 5, b 3).
        // 21 a delta run of 2; the first pixel, against zero, needs the two-byte code
        // 84 22 (g +4, r +2, b +2), the second one byte 0 001 00 01 (g +1, b +1).
        {"delta run", Shape(16, 2, 4), {0x82, 0x10, 0xA3, 0x10}, {0x21, 0x84, 0x22, 0x11}},
        // Depth 8, a line of 600 (beyond the window): 00 a verbatim run of 1, the byte
        // 05, then 68 a copy of 9 from R, which is 1 at the start: a run.
        {"run after a literal", Shape(8, 600, 10), Bytes(10, 0x05), {0x00, 0x05, 0x68}},
        // Depth 8: 1F and 26, a verbatim run of 31 + 1 + 38 = 70 units.
        {"a length with an extension byte", Shape(8, 600, 70),
         [] {
             Bytes b(70);
             for (std::size_t i = 0; i < b.size(); ++i) {
                 b[i] = static_cast<std::uint8_t>(i * 89 + 7);
             }
             return b;
         }(),
         [] {
             Bytes b{0x1F, 0x26};
             for (std::size_t i = 0; i < 70; ++i) {
                 b.push_back(static_cast<std::uint8_t>(i * 89 + 7));
             }
             return b;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes coded = EncodeSquash(c.stream, c.shape);
        EXPECT_EQ(coded, c.coded);
        SquashResult result;
        EXPECT_EQ(Decode(c.coded, c.shape, c.stream.size(), result), c.stream);
        EXPECT_EQ(result, SquashResult::Ok);
    }
}

TEST(SquashCoding, RoundTripsEveryDepthAndOrderWithOddSizes) {
    const unsigned depths[] = {1, 2, 4, 8, 16, 24};
    const std::uint8_t orders[] = {ORDER_ROWS, ORDER_COLUMNS, ORDER_BANDED_ROWS,
                                   ORDER_BANDED_COLUMNS | LAYOUT_REVERSED};
    const struct {
        unsigned width;
        unsigned height;
    } sizes[] = {{1, 1}, {13, 7}, {29, 11}, {3, 173}, {301, 5}};
    for (const unsigned depth : depths) {
        for (const std::uint8_t order : orders) {
            for (const auto& size : sizes) {
                const auto shape = ShapeOfPixelStream(order, depth, size.width, size.height);
                ASSERT_TRUE(shape.has_value());
                for (int content = 0; content < 2; ++content) {
                    SCOPED_TRACE("depth " + std::to_string(depth) + " order " +
                                 std::to_string(order) + " " + std::to_string(size.width) + "x" +
                                 std::to_string(size.height) + (content ? " noise" : " screen"));
                    Bytes stream = ScreenLike(*shape, depth * 31 + order);
                    if (content == 1) {
                        Noise noise{size.width * 7919 + depth};
                        for (auto& b : stream) {
                            b = noise.Next();
                        }
                    }
                    const Bytes coded = EncodeSquash(stream, *shape);
                    SquashResult result;
                    EXPECT_EQ(Decode(coded, *shape, stream.size(), result), stream);
                    EXPECT_EQ(result, SquashResult::Ok);
                }
            }
        }
    }
}

TEST(SquashCoding, RoundTripsRunsAtTheStartAndTheLongestRunsAndLiterals) {
    const std::size_t longest = SQUASH_LONGEST;
    Bytes noise(3 * (2 * longest + 5));
    Noise source{99};
    for (auto& b : noise) {
        b = source.Next();
    }
    const struct {
        const char* name;
        unsigned depth;
        Bytes stream;
    } cases[] = {
        {"empty", 8, {}},
        {"one byte", 1, {0x5A}},
        {"one zero byte", 8, {0x00}},
        {"zeros at the start", 4, Bytes(40, 0x00)},
        {"a run at the start", 2, Bytes(40, 0xAA)},
        {"one run longer than the longest copy", 8, Bytes(2 * longest + 3, 0x11)},
        {"the longest run exactly", 8, Bytes(longest + 1, 0x22)},
        {"noise longer than the longest literal run", 8,
         Bytes(noise.begin(), noise.begin() + 2 * longest + 5)},
        {"colour noise longer than the longest literal run", 24, noise},
        {"colour run of pixels", 16,
         [] {
             Bytes b;
             for (int i = 0; i < 5000; ++i) {
                 b.push_back(0xF8);
                 b.push_back(0x00);
             }
             return b;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned unit = c.depth == 24 ? 3 : (c.depth == 16 ? 2 : 1);
        const auto shape = Shape(c.depth, 37, c.stream.size(), c.depth == 16);
        const Bytes coded = EncodeSquash(c.stream, shape);
        EXPECT_EQ(coded.empty(), c.stream.empty());
        SquashResult result;
        EXPECT_EQ(Decode(coded, shape, c.stream.size(), result), c.stream);
        EXPECT_EQ(result, SquashResult::Ok);
        EXPECT_LE(coded.size(), c.stream.size() + c.stream.size() / unit / 64 + 8);
    }
}

// Pictures of the kind that the run-length coding serves badly: whole pixels repeat, and
// the line above repeats.
TEST(SquashCoding, CodesFlatColourAndRepeatedLinesInAFewBytes) {
    Bytes red;
    for (int i = 0; i < 240 * 240; ++i) {
        red.push_back(0xF8); // RGB565 red, high byte first
        red.push_back(0x00);
    }
    Bytes stripes(128 * 64 / 8);
    for (std::size_t i = 0; i < stripes.size(); ++i) {
        stripes[i] = (i / 16) % 2 ? 0x00 : static_cast<std::uint8_t>(0x3C + i % 16);
    }
    const struct {
        const char* name;
        PixelStreamShape shape;
        Bytes stream;
        std::size_t most;
    } cases[] = {
        {"solid red 240 x 240 at depth 16", Shape(16, 240, red.size(), true), red, 24},
        {"repeated lines at depth 1", Shape(1, 16, stripes.size()), stripes, 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LE(EncodeSquash(c.stream, c.shape).size(), c.most);
    }
}

// Before the stream's start lie zeros, and a token that reaches past the unpacked size
// is cut there: neither is damage.
TEST(SquashCoding, ZerosBeforeTheStartAndTokensPastTheEnd) {
    const struct {
        const char* name;
        PixelStreamShape shape;
        std::size_t size;
        Bytes coded;
        Bytes stream;
    } cases[] = {
        // 62: a copy of 3 from R = 1 before anything was made.
        {"a copy from before the start", Shape(8, 600, 3), 3, {0x62}, {0, 0, 0}},
        // 41: the line above (2 units of 2 bytes) for 2 units, then 00 and a verbatim unit.
        {"the line above in the first line",
         Shape(16, 2, 6),
         6,
         {0x41, 0x00, 0x12, 0x34},
         {0, 0, 0, 0, 0x12, 0x34}},
        // 08: a verbatim run of 9 bytes where 4 remain.
        {"a literal run past the end",
         Shape(8, 600, 4),
         4,
         {0x08, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         {1, 2, 3, 4}},
        // 00 07, then 6A: a copy of 11 from R where 3 remain.
        {"a copy past the end", Shape(8, 600, 4), 4, {0x00, 0x07, 0x6A}, {7, 7, 7, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SquashResult result;
        EXPECT_EQ(Decode(c.coded, c.shape, c.size, result), c.stream);
        EXPECT_EQ(result, SquashResult::Ok);
    }
}

// A decoder read in pieces of every size from 1 to 7 gives the stream that one read gives.
TEST(SquashCoding, ReadingInPiecesGivesTheWholeStream) {
    const unsigned depths[] = {1, 8, 16, 24};
    for (const unsigned depth : depths) {
        const auto shape = ShapeOfPixelStream(ORDER_ROWS, depth, 37, 11);
        ASSERT_TRUE(shape.has_value());
        Bytes stream = ScreenLike(*shape, depth);
        const Bytes coded = EncodeSquash(stream, *shape);
        for (std::size_t piece = 1; piece <= 7; ++piece) {
            SCOPED_TRACE("depth " + std::to_string(depth) + " pieces of " + std::to_string(piece));
            SquashDecoder decoder(coded, *shape);
            Bytes out(stream.size());
            for (std::size_t at = 0; at < out.size(); at += piece) {
                const std::size_t n = std::min(piece, out.size() - at);
                ASSERT_TRUE(decoder.Read(std::span(out).subspan(at, n)));
            }
            EXPECT_EQ(out, stream);
            EXPECT_EQ(decoder.Used(), coded.size());
        }
    }
}

TEST(SquashCoding, RefusesDamagedStreams) {
    const struct {
        const char* name;
        PixelStreamShape shape;
        std::size_t size;
        Bytes coded;
    } cases[] = {
        {"no coded bytes", Shape(8, 4, 4), 4, {}},
        // a verbatim pixel 00 00 05, then 80 AA: a copy of 1 from 171 pixels back at
        // depth 24, beyond 512 bytes.
        {"a copy from beyond the window",
         Shape(24, 600, 600),
         600,
         {0x00, 0x00, 0x00, 0x05, 0x80, 0xAA}},
        // 40: a copy from the line above where the line lies beyond the window.
        {"the line above beyond the window", Shape(8, 600, 4), 4, {0x00, 0x05, 0x40}},
        {"literal bytes cut short", Shape(1, 600, 3), 3, {0x02, 0x01}},
        // 1F FF 7F: a length of 32 + 127 + 127 x 128, above 16383
        {"a length above the longest", Shape(8, 600, 20000), 20000, {0x1F, 0xFF, 0x7F}},
        {"a length cut short", Shape(8, 600, 200), 200, {0x1F, 0x80}},
        // 20 80: a delta run of 1 at depth 8 whose code makes 3 pixels
        {"a delta code past its run", Shape(8, 600, 8), 8, {0x20, 0x80}},
        {"a delta run at depth 1", Shape(1, 600, 8), 8, {0x20, 0x40}},
        // 20 C0: a delta run at depth 8 whose escape has no value byte
        {"a delta escape cut short", Shape(8, 600, 8), 8, {0x20, 0xC0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SquashResult result;
        const Bytes out = Decode(c.coded, c.shape, c.size, result);
        EXPECT_EQ(result, SquashResult::Damaged);
        EXPECT_EQ(out.size(), c.size);
    }
}

} // namespace
