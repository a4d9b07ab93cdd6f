// DisplayBitmap: the viewer's bottom-up device-independent bitmap with its colour table
// and platform header, which the window stretches onto the screen.
#pragma once

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
    std::uint32_t compression = 0; // uncompressed
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 2835; // 72 pixels per inch
    std::int32_t yPelsPerMeter = 2835;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;
};

inline constexpr std::size_t COLOUR_TABLE_ENTRIES = 256;

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
    return depth == 1 || depth == 2 || depth == 4 ? 8 / depth : 1;
}

inline std::uint8_t PixelMask(unsigned depth) {
    return depth == 1 || depth == 2 || depth == 4 ? static_cast<std::uint8_t>((1u << depth) - 1)
                                                  : 0xFF;
}
