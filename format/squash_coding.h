// The squash coding of a record's pixel data: a second coding beside the run-length one,
// made for display bitmaps and for decoders on small microcontrollers. It copies whole
// pixels from the line above and from the last 512 bytes, and keeps the rest verbatim.
//
// ---- The byte stream ----------------------------------------------------------------
//
// The coding works on the record's unpacked byte stream (see zentra_format.h) in units:
// a unit is one byte up to depth 8 (a byte of packed pixels), a pixel of 2 bytes at depth
// 16 and of 3 bytes at depth 24. A line is a row, column or band of the record (its
// units: PixelStreamShape::lineUnits), so the line above lies `lineUnits` units back.
// Lengths and distances count units. The decoder knows the unpacked size and stops when
// it has delivered it; there is no end marker.
//
// The coded bytes mix whole bytes (literal units, a distance's low byte) with single
// bits. Bits are read from a bit byte, most significant bit first; when a bit is wanted
// and the bit byte is used up, the next byte of the stream becomes the bit byte. So the
// bits and the bytes stand in the stream in the order the decoder takes them.
//
// A number n >= 1 is an interleaved Elias gamma code: n's bits after its leading 1, each
// preceded by a 0, then a 1:
//
//     1          1            0 b 1        2 or 3 (n = 1b in binary)
//     0 b 0 c 1  4 to 7       ...          n < 2^32; a longer code is damage
//
// The decoder holds: the last distance R (1 at the start) and whether the last token was
// a literal run. Units before the start of the stream read as zero bytes, so a stream
// that starts with zeros starts with a copy. Tokens:
//
//   after a copy, and at the start:
//     0 n            literal run: n units follow as n x unitBytes bytes
//     1 D n          copy of n units from distance D; R = D
//   after a literal run:
//     0 n            copy of n units from distance R
//     1 D n          copy of n units from distance D; R = D
//
//   D, when the line above lies within the window (lineUnits <= window units):
//     1              the line above: lineUnits units back
//     0 L h          L a byte, h a gamma code: distance (h - 1) x 256 + L + 1
//   and without the first bit when it does not. The window is the last 512 bytes:
//   distances of 1 to floor(512 / unitBytes) units.
//
// A copy from distance D repeats units as they come, so D = 1 is a run of the last unit
// and a copy longer than D repeats a pattern. Damage: a copy from farther than the window,
// a length that runs past the unpacked size, bytes missing at the end.
//
// Worked example: depth 1, row order, 20 x 3 pixels (3 bytes a line, unitBytes 1), the
// stream 00 00 00 | 3C 81 FF | 3C 81 FF:
//
//   bits/bytes          meaning                                  units out
//   1 0 [00] 1 1 1      copy, explicit distance L=00 h=1: D=1,   00 00 00 (zeros before
//                       n = 3 (gamma 0 1 1... see below)          the start)
//   ...
//
// is coded as follows; the first byte is a bit byte:
//
//   byte 0 (bits)  1 0 . . . . . .   token 1 = copy, D: 0 = explicit
//   byte 1         00                L = 0
//   byte 0 cont.   . . 1 0 1 1 0 .   h = 1 (gamma "1") -> D = 1; n = 3 (gamma "0 1 1");
//                                    then 0 = literal run after a copy
//   byte 0 cont.   . . . . . . . 0   n: first bit of the gamma code "0 1 1" -> wait
//
// (see the exact worked example below, produced by the encoder and checked by the tests)
//
// ---- Decoder state --------------------------------------------------------------------
//
// A streaming decoder needs the position in the coded bytes, the bit byte and its bits
// left, R, the literal flag, the units still to copy or to take verbatim, the bytes
// delivered, and a window of the last 512 unpacked bytes (a ring; none when the whole
// record is decoded into one buffer, which then is the window). See SquashStreamState.
#pragma once

#include "pixel_stream_shape.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Units of the longest literal run or copy (so that a run's bytes fit 16 bits); a literal
// run of this length may be followed by another literal run.
inline constexpr std::uint32_t SQUASH_LONGEST = 16383;

// Bytes of unpacked history a copy may reach back.
inline constexpr std::size_t SQUASH_WINDOW_BYTES = 512;

// The units of the window for a unit size: 512, 256 or 170.
inline constexpr std::size_t SquashWindowUnits(unsigned unitBytes) {
    return SQUASH_WINDOW_BYTES / unitBytes;
}

// Whether literal runs carry a bit that chooses delta codes (squash_deltas.h): at the
// depths whose units are whole pixels, 8, 16 and 24.
inline bool SquashHasDeltaRuns(const PixelStreamShape& shape) {
    return shape.depth >= 8;
}

// Codes an unpacked stream of the given shape (its size a multiple of unitBytes). The
// encoder searches for the shortest coding it can find; empty input gives no bytes.
std::vector<std::uint8_t> EncodeSquash(std::span<const std::uint8_t> unpacked,
                                       const PixelStreamShape& shape);

enum class SquashResult {
    Ok,
    Damaged, // a token reaches outside the window or past the end, or bytes are missing
};

// Decodes coded bytes into out, which receives exactly out.size() bytes (the record's
// unpacked size, a multiple of unitBytes). `used` receives how many coded bytes the
// tokens took; bytes after them are not looked at.
SquashResult DecodeSquash(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                          std::span<std::uint8_t> out, std::size_t& used);
