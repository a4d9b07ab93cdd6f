// The device library's planar records and palettes: one plane at a time as a two-plane
// e-paper controller takes its memories (the 5 x 3 black/white/red example worked out by
// hand in cli/tests/palette_test.cpp and docs/firmware.md), the planes' order in a
// whole stream, and a record's palette entries.
#include "device_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace device_test;

// The 5 x 3 sign for an SSD1680 black/white/red panel: palette black, white, red (and a
// black pad entry), plane 0 50 88 30 (black/white RAM), plane 1 20 60 88 (red RAM).
Bytes Sign() {
    const Bytes palette = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 0};
    return MakeRecord(ZTR_LAYOUT_PLANAR, 2, 5, 3, Encode({0x50, 0x88, 0x30, 0x20, 0x60, 0x88}),
                      nullptr, palette);
}

// Plane `plane` of the record, pulled `pull` bytes at a time; status as DecodeStream's.
Bytes Plane(const ztr_source& source, const ztr_record& record, std::uint8_t plane,
            std::uint16_t pull, int& status) {
    ztr_decoder decoder;
    status = ztr_begin_plane(&decoder, &source, &record, plane);
    Bytes out;
    if (status != ZTR_OK) {
        return out;
    }
    std::uint8_t chunk[64];
    while (const std::uint16_t got = ztr_read(&decoder, chunk, pull)) {
        out.insert(out.end(), chunk, chunk + got);
    }
    status = decoder.status;
    return out;
}

TEST(PlanesAndPalette, EachPlaneIsOneMemoryOfTheController) {
    const Bytes file = Sign();
    CallbackFile callbackFile{&file};
    for (const ztr_source& source : {MemorySource(file), CallbackSource(callbackFile)}) {
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
        EXPECT_EQ(record.unpacked_size, 6u) << "two planes of 3 rows of one byte";
        int status = 0;
        EXPECT_EQ(DecodeStream(source, record, 4, status),
                  (Bytes{0x50, 0x88, 0x30, 0x20, 0x60, 0x88}));
        EXPECT_EQ(status, ZTR_END);
        for (const std::uint16_t pull : {1, 2, 64}) {
            EXPECT_EQ(Plane(source, record, 0, pull, status), (Bytes{0x50, 0x88, 0x30}));
            EXPECT_EQ(status, ZTR_END);
            EXPECT_EQ(Plane(source, record, 1, pull, status), (Bytes{0x20, 0x60, 0x88}));
            EXPECT_EQ(status, ZTR_END);
        }
        EXPECT_EQ(Plane(source, record, 2, 8, status), Bytes{});
        EXPECT_EQ(status, ZTR_END) << "a 2-bit record has two planes";
    }
    EXPECT_EQ(callbackFile.readsOutside, 0);
}

TEST(PlanesAndPalette, PlanesOfLongerRecordsRunOnThroughOneCodedStream) {
    // 12 x 2 at depth 4, row order reversed: planes of 2 bytes a row, a run that crosses
    // from plane 1 into plane 2.
    const Bytes stream = {1, 2, 3, 4, 9, 9, 9, 9, 9, 9, 5, 6, 7, 8, 0, 0};
    const Bytes file =
        MakeRecord(ZTR_LAYOUT_PLANAR | ZTR_LAYOUT_REVERSED, 4, 12, 2, Encode(stream));
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    ASSERT_EQ(record.unpacked_size, stream.size());
    for (std::uint8_t plane = 0; plane < 4; ++plane) {
        int status = 0;
        EXPECT_EQ(Plane(source, record, plane, 3, status),
                  Bytes(stream.begin() + 4 * plane, stream.begin() + 4 * plane + 4))
            << "plane " << int(plane);
        EXPECT_EQ(status, ZTR_END);
    }
    // Cut short inside plane 2: plane 3 cannot be reached.
    Bytes cut = file;
    cut.resize(cut.size() - 6); // coded 01 02 03 04 09 09 04 05: 11 of 16 bytes
    cut[0] = static_cast<std::uint8_t>(cut.size());
    const ztr_source cutSource = MemorySource(cut);
    ASSERT_EQ(ztr_read_record(&cutSource, 0, &record), ZTR_OK);
    ztr_decoder decoder;
    EXPECT_EQ(ztr_begin_plane(&decoder, &cutSource, &record, 3), ZTR_DAMAGED);
}

// The same sign squash coded: each plane through the window, the palette where it always
// is; without a window the plane is refused rather than read as run-length bytes.
TEST(PlanesAndPalette, SquashCodedPlanesTakeTheWindow) {
    const Bytes palette = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 0};
    const Bytes stream = {0x50, 0x88, 0x30, 0x20, 0x60, 0x88};
    const Bytes file = MakeRecord(ZTR_LAYOUT_PLANAR, 2, 5, 3,
                                  Encode(stream, PixelCoding::Squash, ZTR_LAYOUT_PLANAR, 2, 5, 3),
                                  nullptr, palette, PixelCoding::Squash);
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    ASSERT_EQ(record.coding, ZTR_CODING_SQUASH);
    Bytes window(ZTR_WINDOW_SIZE, 0xEE);
    for (std::uint8_t plane = 0; plane < 2; ++plane) {
        ztr_decoder decoder;
        ASSERT_EQ(ztr_begin_plane_window(&decoder, &source, &record, plane, window.data()), ZTR_OK);
        std::uint8_t got[8] = {};
        EXPECT_EQ(ztr_read(&decoder, got, sizeof got), 3u);
        EXPECT_EQ(Bytes(got, got + 3),
                  Bytes(stream.begin() + 3 * plane, stream.begin() + 3 * plane + 3))
            << "plane " << int(plane);
        EXPECT_EQ(ztr_begin_plane(&decoder, &source, &record, plane), ZTR_NO_WINDOW);
    }
    std::uint8_t red = 0, green = 0, blue = 0;
    ASSERT_EQ(ztr_palette(&source, &record, 2, &red, &green, &blue), ZTR_OK);
    EXPECT_EQ((std::vector<int>{red, green, blue}), (std::vector<int>{255, 0, 0}));
    // Placed with the frame as the window: both planes one after the other.
    Bytes frame(6, 0xCC);
    ASSERT_EQ(ztr_apply_in_frame(&source, &record, &record, frame.data(), 6), ZTR_OK);
    EXPECT_EQ(frame, stream);
}

TEST(PlanesAndPalette, OnlyPlanarRecordsHavePlanes) {
    const Bytes packed = MakeRecord(0x00, 2, 5, 3, Encode(Bytes(6, 0x1B)));
    const ztr_source source = MemorySource(packed);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    ztr_decoder decoder;
    EXPECT_EQ(ztr_begin_plane(&decoder, &source, &record, 0), ZTR_UNSUPPORTED);
}

TEST(PlanesAndPalette, PaletteEntriesAndRgb565) {
    Bytes file = Sign();
    Append(file, MakeRecord(0x00, 1, 8, 1, Encode({0xF0})));
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    const std::uint8_t expected[4][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 0}};
    for (std::uint8_t index = 0; index < 4; ++index) {
        std::uint8_t rgb[3] = {1, 1, 1};
        ASSERT_EQ(ztr_palette(&source, &record, index, &rgb[0], &rgb[1], &rgb[2]), ZTR_OK);
        EXPECT_EQ(Bytes(rgb, rgb + 3), Bytes(expected[index], expected[index] + 3)) << int(index);
    }
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    EXPECT_EQ(ztr_palette(&source, &record, 4, &r, &g, &b), ZTR_END) << "2^depth entries";
    ASSERT_EQ(ztr_next_record(&source, &record), ZTR_OK);
    EXPECT_EQ(ztr_palette(&source, &record, 0, &r, &g, &b), ZTR_END) << "no palette";
    // red, green, blue, and 12 34 56: 00010 001101 01010
    EXPECT_EQ(ZTR_RGB565(255, 0, 0), 0xF800);
    EXPECT_EQ(ZTR_RGB565(0, 255, 0), 0x07E0);
    EXPECT_EQ(ZTR_RGB565(0, 0, 255), 0x001F);
    EXPECT_EQ(ZTR_RGB565(0x12, 0x34, 0x56), 0x11AA);
}

} // namespace
