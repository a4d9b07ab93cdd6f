// TGA pictures built field by field: every pixel form (15, 16, 24, 32 bits, grey with and
// without alpha, colour maps of every entry size and 8- or 16-bit indices), the four
// origins, run-length packets that cross rows, and every refusal with its message.
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Bytes = std::vector<std::uint8_t>;

// The picture every case shows, 3 x 2, top row first: red, green, blue, then three greys
// of different colour.
const Bytes PICTURE = {255, 0, 0, 0, 255, 0, 0, 0, 255, 16, 32, 48, 64, 80, 96, 112, 128, 144};

struct TgaFields {
    std::uint8_t mapType = 0;
    std::uint8_t imageType = 2;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapBits = 0;
    std::uint16_t width = 3;
    std::uint16_t height = 2;
    std::uint8_t pixelBits = 24;
    std::uint8_t descriptor = 0; // 0x10 right to left, 0x20 top to bottom
    Bytes id;
    Bytes map;
};

Bytes MakeTga(const TgaFields& f, const Bytes& data) {
    Bytes file(18, 0);
    file[0] = static_cast<std::uint8_t>(f.id.size());
    file[1] = f.mapType;
    file[2] = f.imageType;
    PutU16LE(&file[3], f.mapFirst);
    PutU16LE(&file[5], f.mapLength);
    file[7] = f.mapBits;
    PutU16LE(&file[12], f.width);
    PutU16LE(&file[14], f.height);
    file[16] = f.pixelBits;
    file[17] = f.descriptor;
    file.insert(file.end(), f.id.begin(), f.id.end());
    file.insert(file.end(), f.map.begin(), f.map.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// The stored values of PICTURE's six pixels (each given top row first, left to right) in the
// order an origin stores them.
Bytes Stored(const std::vector<Bytes>& pixels, std::uint8_t descriptor) {
    Bytes data;
    for (int row = 0; row < 2; ++row) {
        const int y = (descriptor & 0x20) ? row : 1 - row;
        for (int i = 0; i < 3; ++i) {
            const int x = (descriptor & 0x10) ? 2 - i : i;
            const Bytes& value = pixels[static_cast<std::size_t>(3 * y + x)];
            data.insert(data.end(), value.begin(), value.end());
        }
    }
    return data;
}

const std::vector<Bytes> BGR = {{0, 0, 255},  {0, 255, 0},  {255, 0, 0},
                                {48, 32, 16}, {96, 80, 64}, {144, 128, 112}};
// 5-bit channels c become c * 255 / 31: 31 gives 255, 16 gives 131, 1 gives 8.
const std::vector<Bytes> RGB555 = {{0x00, 0x7C}, {0xE0, 0x03}, {0x1F, 0x80},
                                   {0x10, 0x42}, {0x01, 0x04}, {0x00, 0x00}};
const Bytes RGB555_COLOURS = {255, 0, 0, 0, 255, 0, 0, 0, 255, 131, 131, 131, 8, 0, 8, 0, 0, 0};

std::optional<SourceImage> ReadTga(const Bytes& file, std::uint8_t background,
                                   MessageRecorder& recorder) {
    SourceReadOptions options;
    options.colours = true;
    options.background = background;
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFramesFromMemory(file, "picture.tga", options, recorder.Sink());
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}

TgaFields Fields(std::uint8_t imageType, std::uint8_t pixelBits, std::uint8_t descriptor = 0) {
    TgaFields f;
    f.imageType = imageType;
    f.pixelBits = pixelBits;
    f.descriptor = descriptor;
    return f;
}

TgaFields Mapped(std::uint8_t mapBits, const Bytes& map, std::uint16_t entries,
                 std::uint16_t first = 0, std::uint8_t indexBits = 8) {
    TgaFields f;
    f.mapType = 1;
    f.imageType = 1;
    f.mapBits = mapBits;
    f.map = map;
    f.mapLength = entries;
    f.mapFirst = first;
    f.pixelBits = indexBits;
    return f;
}

TgaFields WithId(TgaFields f) {
    f.id = {'n', 'a', 'm', 'e', 0};
    return f;
}

TgaFields RunLength(TgaFields f) {
    f.imageType = static_cast<std::uint8_t>(f.imageType | 8);
    return f;
}

struct TgaCase {
    const char* what;
    TgaFields fields;
    Bytes data;
    std::uint8_t background;
    Bytes expected; // colours, top row first
};

TEST(TgaReader, EveryFormAndOriginGivesThePicture) {
    const Bytes map24 = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}; // black, blue, green, red
    const Bytes map16 = {0x00, 0x00, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C};
    const Bytes map32 = {0, 0, 255, 255, 0, 0, 255, 0}; // opaque red, clear red
    const Bytes map8 = {10, 200};
    // Indices of red, green, blue, black, black, blue (top row first) in map24, stored
    // bottom row first.
    const Bytes indices = {0, 0, 1, 3, 2, 1};
    const Bytes mappedColours = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255};
    const TgaCase cases[] = {
        {"24 bits, bottom left", Fields(2, 24, 0x00), Stored(BGR, 0x00), 255, PICTURE},
        {"24 bits, top left", Fields(2, 24, 0x20), Stored(BGR, 0x20), 255, PICTURE},
        {"24 bits, bottom right", Fields(2, 24, 0x10), Stored(BGR, 0x10), 255, PICTURE},
        {"24 bits, top right", Fields(2, 24, 0x30), Stored(BGR, 0x30), 255, PICTURE},
        {"24 bits after an identification field", WithId(Fields(2, 24)), Stored(BGR, 0), 255,
         PICTURE},
        {"16 bits, the top bit not alpha", Fields(2, 16), Stored(RGB555, 0), 0, RGB555_COLOURS},
        {"15 bits", Fields(2, 15, 0x20), Stored(RGB555, 0x20), 0, RGB555_COLOURS},
        // Alpha 0 over black, 255, and 51: (255 * 51 + 127) / 255 = 51.
        {"32 bits with alpha",
         Fields(2, 32, 0x28),
         Stored({{0, 0, 255, 0},
                 {0, 255, 0, 255},
                 {255, 0, 0, 51},
                 {0, 0, 0, 255},
                 {0, 0, 0, 0},
                 {255, 255, 255, 255}},
                0x20),
         0,
         {0, 0, 0, 0, 255, 0, 0, 0, 51, 0, 0, 0, 0, 0, 0, 255, 255, 255}},
        {"8-bit grey",
         Fields(3, 8),
         Stored({{0}, {50}, {100}, {150}, {200}, {250}}, 0),
         255,
         {0, 0, 0, 50, 50, 50, 100, 100, 100, 150, 150, 150, 200, 200, 200, 250, 250, 250}},
        {"8 bits in a true-colour picture are grey",
         Fields(2, 8),
         Stored({{0}, {50}, {100}, {150}, {200}, {250}}, 0),
         255,
         {0, 0, 0, 50, 50, 50, 100, 100, 100, 150, 150, 150, 200, 200, 200, 250, 250, 250}},
        // Grey, then alpha: 100 at alpha 0 over white is white.
        {"16-bit grey with alpha",
         Fields(3, 16),
         Stored({{0, 255}, {100, 0}, {200, 255}, {30, 255}, {60, 255}, {90, 255}}, 0),
         255,
         {0, 0, 0, 255, 255, 255, 200, 200, 200, 30, 30, 30, 60, 60, 60, 90, 90, 90}},
        {"24-bit map", Mapped(24, map24, 4), indices, 255, mappedColours},
        {"24-bit map, 16-bit indices",
         Mapped(24, map24, 4, 0, 16),
         {0, 0, 0, 0, 1, 0, 3, 0, 2, 0, 1, 0},
         255,
         mappedColours},
        // The map holds entries 5 to 8; index 4 and 9 lie outside it and take its first.
        {"24-bit map from entry 5",
         Mapped(24, map24, 4, 5),
         {4, 9, 6, 8, 7, 6},
         255,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255}},
        {"16-bit map", Mapped(16, map16, 4), indices, 255, mappedColours},
        {"15-bit map", Mapped(15, map16, 4), indices, 255, mappedColours},
        {"32-bit map with alpha",
         Mapped(32, map32, 2),
         {1, 0, 0, 0, 1, 0},
         0,
         {255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0}},
        {"8-bit grey map",
         Mapped(8, map8, 2),
         {1, 0, 1, 0, 1, 0},
         0,
         {10, 10, 10, 200, 200, 200, 10, 10, 10, 200, 200, 200, 10, 10, 10, 200, 200, 200}},
        // A run of 4 blue-green-red ... crossing from the bottom row into the top one, then
        // two raw pixels.
        {"run-length 24 bits",
         RunLength(Fields(2, 24)),
         {0x83, 48, 32, 16, 0x01, 0, 0, 255, 0, 255, 0},
         255,
         {16, 32, 48, 255, 0, 0, 0, 255, 0, 16, 32, 48, 16, 32, 48, 16, 32, 48}},
        {"run-length map",
         RunLength(Mapped(24, map24, 4)),
         {0x02, 1, 2, 3, 0x82, 0},
         255,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        {"run-length grey, a run past the last pixel",
         RunLength(Fields(3, 8)),
         {0x85, 77, 0xFF, 1},
         255,
         {77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77, 77}},
    };
    for (const TgaCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            ReadTga(MakeTga(c.fields, c.data), c.background, recorder);
        ASSERT_TRUE(image.has_value())
            << (recorder.Messages().empty() ? "" : recorder.Messages()[0]);
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(image->rgb, c.expected);
    }
}

TEST(TgaReader, RefusesWithExactMessages) {
    const std::string invalid = "ERROR: file 'picture.tga' is not a valid TGA picture\n";
    const std::string cut = "ERROR: truncated input file (not enough pixel data)\n  in "
                            "\'picture.tga\': not enough data for 3 x 2 pixels\n";
    TgaFields mapType2 = Fields(2, 24);
    mapType2.mapType = 2;
    TgaFields wide = Fields(2, 24);
    wide.width = 40000;
    TgaFields noWidth = Fields(2, 24);
    noWidth.width = 0;
    const Bytes pixels = Stored(BGR, 0);
    const Bytes shortPixels(pixels.begin(), pixels.end() - 1);
    Bytes shortHeader = MakeTga(Fields(2, 24), {});
    shortHeader.pop_back();
    const struct {
        const char* what;
        Bytes file;
        std::string message;
    } cases[] = {
        {"a header of 17 bytes", shortHeader, invalid},
        {"colour map type 2", MakeTga(mapType2, pixels), invalid},
        {"image type 4", MakeTga(Fields(4, 24), pixels), invalid},
        {"12 bits a pixel", MakeTga(Fields(2, 12), pixels), invalid},
        {"a map with 24-bit indices", MakeTga(Mapped(24, {1, 2, 3}, 1, 0, 24), pixels), invalid},
        {"a map of 12-bit entries", MakeTga(Mapped(12, {1, 2}, 1), pixels), invalid},
        {"a map of no entries", MakeTga(Mapped(24, {}, 0), pixels), invalid},
        {"a map cut short", MakeTga(Mapped(24, {1, 2, 3, 4}, 2), {}), invalid},
        {"width 0", MakeTga(noWidth, pixels), invalid},
        {"width 40000", MakeTga(wide, pixels),
         "ERROR: file 'picture.tga' is too large (40000 x 2 pixels; the limit is 32767 pixels a "
         "side and 268435456 pixels in all)\n"},
        {"pixels cut short", MakeTga(Fields(2, 24), shortPixels), cut},
        {"a run-length packet cut short", MakeTga(RunLength(Fields(2, 24)), {0x85, 1, 2}), cut},
        {"run-length packets end early", MakeTga(RunLength(Fields(2, 24)), {0x81, 1, 2, 3}), cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        EXPECT_FALSE(ReadTga(c.file, 255, recorder).has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{c.message});
    }
}

} // namespace
