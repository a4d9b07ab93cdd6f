// DisplayBitmap: the viewer's bottom-up device-independent bitmap with its colour table
// and platform header, which the window stretches onto the screen.
#pragma once

#include "zentra_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct ColourEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};

// The fields of the platform's 40-byte bitmap information header.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: rows run bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0; // BITMAP_RGB or BITMAP_BITFIELDS
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 2835; // 72 pixels per inch
    std::int32_t yPelsPerMeter = 2835;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;
};

inline constexpr std::size_t COLOUR_TABLE_ENTRIES = 256;

// Header compression values: plain pixels (with a colour table up to 8 bits), or pixels
// whose red, green and blue are the bits of three channel masks that follow the header.
inline constexpr std::uint32_t BITMAP_RGB = 0;
inline constexpr std::uint32_t BITMAP_BITFIELDS = 3;

// The channel masks of an RGB565 pixel, red, green, blue:
//   bit  15 14 13 12 11 10  9  8  7  6  5  4  3  2  1  0
//         r  r  r  r  r  g  g  g  g  g  g  b  b  b  b  b
// 16-bit bitmaps hold every stored bit this way, low byte first, and the platform draws
// them through these masks in their own colours; nothing is widened or dropped before.
inline constexpr std::array<std::uint32_t, 3> RGB565_MASKS = {0xF800, 0x07E0, 0x001F};

struct DisplayBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t depth = 0;
    std::uint32_t stride = 0; // bytes per bitmap row, a multiple of 4
    // stride x height bytes, bitmap row 0 the bottom row of the picture; absent when
    // there is nothing to show.
    std::optional<std::vector<std::uint8_t>> pixels;
    std::array<ColourEntry, COLOUR_TABLE_ENTRIES> colours{};
    BitmapInfoHeader info;
    // Red, green and blue masks, in force when info.compression is BITMAP_BITFIELDS; they
    // stand in place of the colour table after the header.
    std::array<std::uint32_t, 3> masks{};
};

// Unpacked bytes per stored row in row order: packed rows at depths 1, 2 and 4, whole
// bytes per pixel at every other depth.
inline std::size_t RowBytes(unsigned depth, std::size_t width) {
    switch (depth) {
    case 1:
        return (width + 7) / 8;
    case 2:
        return (width + 3) / 4;
    case 4:
        return (width + 1) / 2;
    default:
        return ((depth + 7) / 8) * width;
    }
}

// Pixels per packed byte: the band height of banded lay-outs.
inline unsigned PixelsPerByte(unsigned depth) {
    return IsSubByteDepth(depth) ? 8 / depth : 1;
}

inline std::uint8_t PixelMask(unsigned depth) {
    return IsSubByteDepth(depth) ? static_cast<std::uint8_t>((1u << depth) - 1) : 0xFF;
}
