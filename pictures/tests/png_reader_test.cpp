// PNG pictures built chunk by chunk (their data deflated as stored blocks): palettes with
// indices past their table, tRNS of every colour type, interlacing, damaged checksums,
// and the damage that refuses a picture.
#include "picture_readers.h"
#include "readers_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutU32BE(Bytes& out, std::uint32_t v) {
    for (const int shift : {24, 16, 8, 0}) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void AddChunk(Bytes& png, const char* type, const Bytes& data) {
    PutU32BE(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutU32BE(png, Crc32(&png[start], png.size() - start));
}

// A zlib stream of one stored deflate block.
Bytes Stored(const Bytes& raw) {
    Bytes z = {0x78,
               0x01,
               0x01,
               static_cast<std::uint8_t>(raw.size()),
               static_cast<std::uint8_t>(raw.size() >> 8),
               static_cast<std::uint8_t>(~raw.size()),
               static_cast<std::uint8_t>(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutU32BE(z, b << 16 | a);
    return z;
}

struct PngForm {
    int bitDepth = 8;
    int colourType = 3; // 0 grey, 2 RGB, 3 palette, 4 grey alpha, 6 RGBA
    bool interlaced = false;
    Bytes palette;      // PLTE
    Bytes transparency; // tRNS, none when empty
};

// A 3 x 2 PNG whose filtered scanlines (filter byte first) are `rows`.
Bytes MakePng(const PngForm& form, const Bytes& rows) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutU32BE(header, 3);
    PutU32BE(header, 2);
    header.insert(header.end(), {static_cast<std::uint8_t>(form.bitDepth),
                                 static_cast<std::uint8_t>(form.colourType), 0, 0,
                                 static_cast<std::uint8_t>(form.interlaced ? 1 : 0)});
    AddChunk(png, "IHDR", header);
    if (!form.palette.empty()) {
        AddChunk(png, "PLTE", form.palette);
    }
    if (!form.transparency.empty()) {
        AddChunk(png, "tRNS", form.transparency);
    }
    AddChunk(png, "IDAT", Stored(rows));
    AddChunk(png, "IEND", {});
    return png;
}

Readout ReadPng(const Bytes& file) {
    SourceReadOptions options;
    options.colours = true;
    options.background = 0;
    return ReadPngPicture(file, "picture.png", options);
}

TEST(PngReader, EveryColourTypeWithItsTransparency) {
    const Bytes palette = {200, 10, 20, 30, 40, 250};          // two entries
    const Bytes rgbRows = {0, 255, 0, 0, 0, 255, 0, 0, 0, 255, // red, green, blue
                           0, 9,   9, 9, 1, 2,   3, 0, 0, 0};  // two greys and black
    const struct {
        const char* what;
        PngForm form;
        Bytes rows;
        Bytes expected; // over black, top row first
    } cases[] = {
        // Index 2 and 7 lie past the two-entry table: opaque black. Entry 0 is half clear:
        // (200 * 128 + 127) / 255 = 100, and so on.
        {"palette, indices past the table",
         {8, 3, false, palette, {128}},
         {0, 0, 1, 2, 0, 7, 1, 0},
         {100, 5, 10, 30, 40, 250, 0, 0, 0, 0, 0, 0, 30, 40, 250, 100, 5, 10}},
        // 2-bit indices, leftmost in the top bits: 0b00011000 is 0, 1, 2; 0b01010000 1, 1, 0.
        {"2-bit palette",
         {2, 3, false, palette, {}},
         {0, 0x18, 0, 0x50},
         {200, 10, 20, 30, 40, 250, 0, 0, 0, 30, 40, 250, 30, 40, 250, 200, 10, 20}},
        // Grey 16 bits: the high byte; the sample equal to tRNS (0x1234) is clear.
        {"16-bit grey with tRNS",
         {16, 0, false, {}, {0x12, 0x34}},
         {0, 0x12, 0x34, 0x12, 0x35, 0xFF, 0xFF, 0, 0x00, 0x01, 0x80, 0x00, 0x12, 0x34},
         {0, 0, 0, 0x12, 0x12, 0x12, 255, 255, 255, 0, 0, 0, 0x80, 0x80, 0x80, 0, 0, 0}},
        // 1-bit grey: 1 is white, the leftmost pixel in the top bit.
        {"1-bit grey",
         {1, 0, false, {}, {}},
         {0, 0xA0, 0, 0x40},
         {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0}},
        {"RGB with tRNS",
         {8, 2, false, {}, {0, 9, 0, 9, 0, 9}},
         rgbRows,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 1, 2, 3, 0, 0, 0}},
        // Adam7 on 3 x 2: pass 1 has (0,0), pass 4 (2,0), pass 6 (1,0), pass 7 the second row.
        {"interlaced RGB",
         {8, 2, true, {}, {}},
         {0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 9, 9, 9, 1, 2, 3, 0, 0, 0},
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9, 1, 2, 3, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Readout readout = ReadPng(MakePng(c.form, c.rows));
        ASSERT_TRUE(readout.failure.Ok());
        ASSERT_EQ(readout.frames.size(), 1u);
        EXPECT_EQ(readout.frames.front().rgb, c.expected);
        EXPECT_EQ(readout.frames.front().delay, -1);
    }
}

// Damaged checksums are read past, as they always were; damaged structure is refused, and
// a file whose data end early is named as cut short.
TEST(PngReader, ChecksumsAreNotCheckedButTheStructureIs) {
    const PngForm rgb{8, 2, false, {}, {}};
    const Bytes rows = {0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 9, 9, 9, 1, 2, 3, 0, 0, 0};
    const Bytes expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9, 1, 2, 3, 0, 0, 0};
    const Bytes good = MakePng(rgb, rows);
    const std::size_t idat = 8 + 25; // behind the signature and IHDR
    const std::size_t iend = good.size() - 12;
    Bytes badCrc = good;
    badCrc[idat - 1] ^= 0xFF; // IHDR's checksum
    Bytes badAdler = good;
    badAdler[iend - 5] ^= 0xFF; // the zlib stream's last byte, before IDAT's checksum
    const Bytes noEnd(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(iend));
    const Bytes cutData(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(idat + 20));
    Bytes badLength = good;
    badLength[idat] = 0x80; // IDAT's length above 2^31
    Bytes unknownCritical = good;
    unknownCritical[iend + 4] = 'J'; // "JEND": a critical chunk no reader knows
    const Outcome cut{OutcomeCode::Truncated, OutcomeDetail::NotEnoughData, "picture.png", {3, 2}};
    const struct {
        const char* what;
        Bytes file;
        Outcome outcome; // Done: read
    } cases[] = {
        {"a wrong chunk checksum", badCrc, {}},
        {"a wrong zlib checksum", badAdler, {}},
        {"no end chunk", noEnd, cut},
        {"cut inside the data", cutData, cut},
        // The renamed end chunk is passed over like every chunk the reader does not use, and
        // the file then ends without one.
        {"an unknown critical chunk instead of the end", unknownCritical, cut},
        {"a damaged chunk length",
         badLength,
         {OutcomeCode::NotValidPicture, OutcomeDetail::None, "picture.png", {}, {"PNG"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Readout readout = ReadPng(c.file);
        EXPECT_EQ(readout.failure, c.outcome);
        if (c.outcome.Ok()) {
            ASSERT_EQ(readout.frames.size(), 1u);
            EXPECT_EQ(readout.frames.front().rgb, expected);
        }
    }
}

} // namespace
