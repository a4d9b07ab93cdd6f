// Tests of the dense coding: streams worked out by hand, the two windows (zeros before
// the start, copies from the whole stream), literal tables, round trips of odd-sized
// screens, noise and the longest runs, decoding in pieces, and damaged streams that the
// decoder must refuse.
#include "dense_coding.h"
#include "dense_decoder.h"
#include "pixel_stream_shape.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

PixelStreamShape Shape(std::size_t lineBytes, std::size_t bytes) {
    PixelStreamShape shape;
    shape.depth = 1;
    shape.unitBytes = 1;
    shape.lineUnits = lineBytes;
    shape.totalBytes = bytes;
    shape.lines = lineBytes ? bytes / lineBytes : 0;
    return shape;
}

struct Decoded {
    DenseResult result;
    Bytes bytes;
    std::size_t used;
};

Decoded Decode(const Bytes& coded, std::size_t line, std::size_t size, DenseWindow window,
               DenseLiterals literals = DenseLiterals::Whole) {
    Decoded d{DenseResult::Ok, Bytes(size), 0};
    d.result = DecodeDense(coded, Shape(line, size), window, d.bytes, d.used, literals);
    return d;
}

// The codes, followed by a literal table of entries 10, 11, ... 2F.
Bytes WithTable(const Bytes& codes) {
    Bytes coded = codes;
    for (std::uint8_t k = 0; k < DENSE_TABLE_BYTES; ++k) {
        coded.push_back(static_cast<std::uint8_t>(0x10 + k));
    }
    return coded;
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

// A 1-bit screen of `line` bytes a row: white, a frame, rows of glyph-like slices of a
// few repeated patterns, a dithered band.
Bytes Screen(std::size_t line, std::size_t rows, std::uint32_t seed) {
    Noise noise{seed};
    Bytes glyphs(5 * 9);
    for (auto& b : glyphs) {
        b = noise.Next();
    }
    Bytes out(line * rows, 0xFF);
    for (std::size_t r = 0; r < rows; ++r) {
        std::uint8_t* row = &out[r * line];
        row[0] = 0x7F;
        if (r % 13 >= 3 && r % 13 < 12) {
            for (std::size_t x = 2; x + 1 < line; x += 1 + (x % 3)) {
                row[x] = glyphs[(x * 7 + r / 13) % 5 * 9 + r % 13 - 3];
            }
        }
        if (r >= rows * 3 / 4) {
            for (std::size_t x = 0; x < line; ++x) {
                row[x] = static_cast<std::uint8_t>(noise.Next() | 0x11);
            }
        }
    }
    return out;
}

// Both forms of literal bytes.
void ExpectRoundTrip(const Bytes& stream, std::size_t line, DenseWindow window) {
    for (const DenseLiterals literals : {DenseLiterals::Whole, DenseLiterals::Table}) {
        const Bytes coded = EncodeDense(stream, Shape(line, stream.size()), window, literals);
        const Decoded back = Decode(coded, line, stream.size(), window, literals);
        EXPECT_EQ(back.result, DenseResult::Ok);
        EXPECT_EQ(back.bytes, stream);
        EXPECT_EQ(back.used, coded.size());
    }
}

TEST(DenseCoding, TheWorkedExampleCodesAsTheFormatSays) {
    const Bytes stream = {0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF};
    EXPECT_EQ(EncodeDense(stream, Shape(3, 9), DenseWindow::Bytes512),
              (Bytes{0x39, 0x3C, 0x81, 0xFF, 0x20}));
}

// Streams written bit by bit from the format's description.
TEST(DenseCoding, HandWrittenStreamsDecode) {
    struct Case {
        const char* what;
        Bytes coded;
        std::size_t line;
        Bytes expected;
    };
    const Case cases[] = {
        // 0 1 | AA | 0 00001: a literal AA, then a copy of 4 from R = 1.
        {"run from R", {0x41, 0xAA}, 4, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        // 0 011 | 01 02 03 | 11 1 | low 02 | 00011: three literals, then 6 from 3 back.
        {"new distance",
         {0x3E, 0x01, 0x02, 0x03, 0x02, 0x30},
         5,
         {0x01, 0x02, 0x03, 0x01, 0x02, 0x03, 0x01, 0x02, 0x03}},
        // 0 011 | 01 02 03 | 10 1 | 10 011: three literals, 1 from the line above (2
        // back), then 3 more from it.
        {"line above twice",
         {0x3B, 0x01, 0x02, 0x03, 0x30},
         2,
         {0x01, 0x02, 0x03, 0x02, 0x03, 0x02, 0x03}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = Decode(c.coded, c.line, c.expected.size(), DenseWindow::Bytes512);
        EXPECT_EQ(d.result, DenseResult::Ok);
        EXPECT_EQ(d.bytes, c.expected);
        EXPECT_EQ(d.used, c.coded.size());
    }
}

// Literal bytes from the table (entry k is 10 + k), worked out by hand.
TEST(DenseCoding, LiteralBytesComeFromTheTable) {
    struct Case {
        const char* what;
        Bytes codes;
        Bytes expected;
    };
    const Case cases[] = {
        // 0 011 | 0 0010 | 1 0 0100 | 1 1 | 99: entries 2 and 20, then 99 whole.
        {"short, long and whole", {0x31, 0x49, 0x80, 0x99}, {0x12, 0x24, 0x99}},
        // 0 001 | 0 1111 | 1 0 1111 | 0 00001: entries 15 and 31, then 4 from R = 1.
        {"the last entries, then a copy", {0x17, 0xDE, 0x08}, {0x1F, 0x2F, 0x2F, 0x2F, 0x2F, 0x2F}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes coded = WithTable(c.codes);
        const Decoded d =
            Decode(coded, 8, c.expected.size(), DenseWindow::Bytes512, DenseLiterals::Table);
        EXPECT_EQ(d.result, DenseResult::Ok);
        EXPECT_EQ(d.bytes, c.expected);
        EXPECT_EQ(d.used, coded.size());
        // Without the table the same bytes mean something else.
        EXPECT_NE(Decode(coded, 8, c.expected.size(), DenseWindow::Bytes512).bytes, c.expected);
    }
    // A table cut short, and the whole byte after 1 1 missing, are damage; an empty stream
    // needs no table.
    EXPECT_EQ(Decode({0x10, 0x11}, 8, 3, DenseWindow::Bytes512, DenseLiterals::Table).result,
              DenseResult::Damaged);
    EXPECT_EQ(Decode(WithTable({0x3E}), 8, 1, DenseWindow::Bytes512, DenseLiterals::Table).result,
              DenseResult::Damaged);
    EXPECT_EQ(Decode({}, 8, 0, DenseWindow::Bytes512, DenseLiterals::Table).result,
              DenseResult::Ok);
}

// Dithered bytes repeat a few patterns unevenly: the table codes them in fewer bits.
TEST(DenseCoding, TheTablePaysOnUnevenLiterals) {
    Noise noise{91};
    Bytes stream(4099);
    for (auto& b : stream) {
        const std::uint8_t pick = noise.Next();
        b = pick < 200 ? static_cast<std::uint8_t>(0x40 + pick % 12) : noise.Next();
    }
    const auto shape = Shape(47, stream.size());
    const std::size_t whole = EncodeDense(stream, shape, DenseWindow::Bytes512).size();
    const std::size_t table =
        EncodeDense(stream, shape, DenseWindow::Bytes512, DenseLiterals::Table).size();
    EXPECT_LT(table * 10, whole * 9);
    ExpectRoundTrip(stream, 47, DenseWindow::Bytes512);
}

TEST(DenseCoding, BeforeTheStartLieZerosOnlyForTheSmallWindow) {
    // 11 1 | low 00 | 011: a copy of 4 from 1 back at the very start.
    const Bytes coded = {0xEC, 0x00};
    const Decoded small = Decode(coded, 4, 4, DenseWindow::Bytes512);
    EXPECT_EQ(small.result, DenseResult::Ok);
    EXPECT_EQ(small.bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Decode(coded, 4, 4, DenseWindow::WholeStream).result, DenseResult::Damaged);
    // 0 1 | AA | 11 001 | low FF | 1: 2 from 512 back, the farthest, into the zeros.
    const Decoded farthest = Decode({0x73, 0xAA, 0xFF}, 4, 3, DenseWindow::Bytes512);
    EXPECT_EQ(farthest.result, DenseResult::Ok);
    EXPECT_EQ(farthest.bytes, (Bytes{0xAA, 0, 0}));
}

TEST(DenseCoding, DamagedStreamsAreRefused) {
    struct Case {
        const char* what;
        Bytes coded;
        DenseWindow window;
    };
    const Case cases[] = {
        // 0 1 | AA | 11 011 | low FF | 1: a copy of 2 from 2 x 256 + 255 + 1 back.
        {"768 back", {0x77, 0xAA, 0xFF}, DenseWindow::Bytes512},
        // The same from 2 x 256 + 0 + 1 = 513 back.
        {"513 back", {0x77, 0xAA, 0x00}, DenseWindow::Bytes512},
        // 0 1 | AA | 11 1 | low 01 | 1: from 2 back after one byte of the whole stream.
        {"before the whole stream", {0x7C, 0xAA, 0x01}, DenseWindow::WholeStream},
        // 0 011 and only two of the three literals.
        {"literals cut short", {0x30, 0x01, 0x02}, DenseWindow::Bytes512},
        // 0, then seventeen bits of gamma value: more than 16 bits.
        {"gamma too long", {0x00, 0x00, 0x00, 0x00, 0x00}, DenseWindow::Bytes512},
        {"no bits at all", {}, DenseWindow::Bytes512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Decode(c.coded, 8, 16, c.window).result, DenseResult::Damaged);
    }
}

TEST(DenseCoding, ScreensOfOddSizesRoundTripInBothWindows) {
    for (const std::size_t line : {1u, 3u, 37u, 100u, 513u}) {
        for (const std::size_t rows : {1u, 7u, 61u}) {
            SCOPED_TRACE(testing::Message() << line << " x " << rows);
            const Bytes screen = Screen(line, rows, static_cast<std::uint32_t>(line * 31 + rows));
            ExpectRoundTrip(screen, line, DenseWindow::Bytes512);
            ExpectRoundTrip(screen, line, DenseWindow::WholeStream);
        }
    }
}

TEST(DenseCoding, NoiseAndLongRunsRoundTrip) {
    Noise noise{77};
    Bytes noisy(3001);
    for (auto& b : noisy) {
        b = noise.Next();
    }
    ExpectRoundTrip(noisy, 41, DenseWindow::Bytes512);
    // Longer than the longest copy: split into several.
    Bytes flat(2 * DENSE_LONGEST + 17, 0xFF);
    flat[70000] = 0;
    ExpectRoundTrip(flat, 25, DenseWindow::Bytes512);
    ExpectRoundTrip(flat, 25, DenseWindow::WholeStream);
}

TEST(DenseCoding, CopiesFromTheWholeStreamReachFartherBack) {
    // A block of noise repeated 3000 bytes later: only the whole stream sees it.
    Noise noise{5};
    Bytes stream(4000, 0);
    for (std::size_t i = 0; i < 900; ++i) {
        stream[i] = stream[3000 + i % 1000] = noise.Next();
    }
    const auto shape = Shape(50, stream.size());
    const std::size_t small = EncodeDense(stream, shape, DenseWindow::Bytes512).size();
    const std::size_t whole = EncodeDense(stream, shape, DenseWindow::WholeStream).size();
    EXPECT_LT(whole + 700, small);
    ExpectRoundTrip(stream, 50, DenseWindow::WholeStream);
}

TEST(DenseCoding, DecodingInPiecesGivesTheSameBytes) {
    const Bytes screen = Screen(29, 40, 3);
    const auto shape = Shape(29, screen.size());
    const Bytes coded = EncodeDense(screen, shape, DenseWindow::WholeStream, DenseLiterals::Table);
    DenseDecoder decoder(coded, shape, DenseWindow::WholeStream, DenseLiterals::Table);
    Bytes back;
    for (std::size_t piece = 1; back.size() < screen.size(); piece = piece * 3 % 97 + 1) {
        Bytes part(std::min(piece, screen.size() - back.size()));
        ASSERT_TRUE(decoder.Read(part));
        back.insert(back.end(), part.begin(), part.end());
    }
    EXPECT_EQ(back, screen);
}

} // namespace
