// The packers: a rectangle of a picture becomes a record's unpacked byte stream for one
// depth and pixel order, passed through the run-length coder into the output (a file or
// memory). Grey records are packed from one grey byte a pixel, colour records (depths 16
// and 24) from three bytes a pixel: red, green, blue.
#pragma once

#include "byte_sink.h"
#include "changed_rect.h"
#include "run_length_buffer.h"
#include "zentra_format.h"

#include <cstdint>

// header.width and header.height hold the full picture's size W x H; header.layout the
// record's lay-out bits. Pixel (i, j) of the rectangle is pixels[(rect.y + j) * W +
// rect.x + i] (for colour packers the three bytes from 3 times that index). Each codes through
// `coded` and returns false when writing the coded data failed or the coder ran out of memory
// (coded.OutOfMemory() tells which). Every packer below is declared by this type.
using PackerFunction = bool(RunLengthBuffer& coded, ByteSink& out, const RecordHeader& header,
                            const std::uint8_t* pixels, const ChangedRect& rect);
using Packer = PackerFunction*;

// Depths 1, 2 and 4: p = 8 / Depth pixels a byte, each the top Depth bits of its value,
// the first in the most significant field (in the least with LAYOUT_REVERSED); partial
// bytes and the missing lines of a last band are 0. One packer per pixel order; the
// three depths are instantiated in packers.cpp.
template <int Depth> struct FieldPackers {
    static PackerFunction PackRowOrder;
    static PackerFunction PackColumnOrder;
    static PackerFunction PackBandedRows;
    static PackerFunction PackBandedColumns;
};

extern template struct FieldPackers<1>;
extern template struct FieldPackers<2>;
extern template struct FieldPackers<4>;

// Depth 8: one pixel a byte, its value unchanged.
PackerFunction PackRowOrder8;
PackerFunction PackColumnOrder8;

// Depths 16 and 24, from red, green, blue bytes: row order and column order, each pixel
// 2 bytes of RGB565 (the top bits of each channel) or 3 bytes, its first and last byte
// exchanged where ExchangesPixelBytes says (row order with LAYOUT_REVERSED, column order
// without it); `pixels` are the red, green, blue bytes. Instantiated in packers.cpp.
template <int Depth> struct ColourPackers {
    static PackerFunction PackRowOrder;
    static PackerFunction PackColumnOrder;
};

extern template struct ColourPackers<16>;
extern template struct ColourPackers<24>;

// The packer for a depth and the order bits of a final lay-out byte, or null when the
// depth has none (only 1, 2, 4, 8, 16 and 24 are packed).
Packer SelectPacker(int depth, std::uint8_t layout);
