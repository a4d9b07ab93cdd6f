// Bitmaps of 16, 24 and 32 bits per pixel built field by field for the reader and ztr
// tests: stored pixel values in, a file's bytes out, bottom-up or top-down, with the masks
// of bit fields behind a 40-byte header or inside a larger one.
#pragma once

#include "little_endian.h"

#include <array>
#include <cstdint>
#include <vector>

namespace readers_test {

struct ColourBmp {
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t infoSize = 40;
    std::uint32_t compression = 0;        // 0 plain, 3 bit fields
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha
    bool topDown = false;                 // negative height, rows stored top first
    std::uint32_t gap = 0;                // bytes between the headers and the pixels
};

// values: width x height stored pixel values, top row first, each written little-endian in
// bitCount / 8 bytes; rows padded to whole 32-bit words.
inline std::vector<std::uint8_t> MakeColourBmp(const ColourBmp& form,
                                               const std::vector<std::uint32_t>& values) {
    const std::size_t width = static_cast<std::size_t>(form.width);
    const std::size_t height = static_cast<std::size_t>(form.height);
    const std::size_t pixelBytes = form.bitCount / 8;
    const std::size_t stride = (form.bitCount * width + 31) / 32 * 4;
    std::vector<std::uint8_t> pixels(stride * height, 0);
    for (std::size_t row = 0; row < height; ++row) {
        const std::size_t y = form.topDown ? row : height - 1 - row; // picture row stored here
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t value = values[y * width + x];
            for (std::size_t b = 0; b < pixelBytes; ++b) {
                pixels[row * stride + x * pixelBytes + b] =
                    static_cast<std::uint8_t>(value >> (8 * b));
            }
        }
    }
    const bool masksBehind = form.compression == 3 && form.infoSize == 40;
    const std::size_t headers = 14 + form.infoSize + (masksBehind ? 12 : 0);
    std::vector<std::uint8_t> file(headers + form.gap, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32LE(&file[2], static_cast<std::uint32_t>(file.size() + pixels.size()));
    PutU32LE(&file[10], static_cast<std::uint32_t>(headers + form.gap));
    PutU32LE(&file[14], form.infoSize);
    PutU32LE(&file[18], static_cast<std::uint32_t>(form.width));
    PutU32LE(&file[22], static_cast<std::uint32_t>(form.topDown ? -form.height : form.height));
    PutU16LE(&file[26], 1);
    PutU16LE(&file[28], form.bitCount);
    PutU32LE(&file[30], form.compression);
    const std::size_t maskCount = masksBehind ? 3 : (form.infoSize > 40 ? 4 : 0);
    for (std::size_t i = 0; i < maskCount; ++i) {
        PutU32LE(&file[54 + 4 * i], form.masks[i]);
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

} // namespace readers_test
