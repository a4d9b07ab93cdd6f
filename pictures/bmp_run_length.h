// Run-length coded bitmap pixels (BI_RLE8 at 8 bits a pixel, BI_RLE4 at 4): the pairs of
// bytes that repeat one index (or two alternating ones) and the escapes that end a row,
// end the bitmap, move the position or carry pixels as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Decodes the coded data of a width x height bitmap into one colour-table index a pixel,
// bottom row first as the bitmap stores its rows. Pixels that the escapes skip (a move,
// the rest of a row, the rest of the bitmap) keep index 0, which `indices` must hold on
// entry; pixels coded past the right edge are dropped. False when the data end before the
// end-of-bitmap escape and before the top row is done: the file is cut short.
bool DecodeRunLengthBitmap(std::span<const std::uint8_t> data, int bitCount, std::size_t width,
                           std::size_t height, std::uint8_t* indices);
