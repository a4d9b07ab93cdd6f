// The squash coding of a record's pixel data: a second coding beside the run-length one,
// made for display bitmaps and for decoders on small microcontrollers. It copies whole
// pixels from the line above and from the last 512 bytes, codes photo-like pixels at
// depths 8, 16 and 24 by their difference to the pixel before, and keeps the rest
// verbatim.
//
// ---- The byte stream ----------------------------------------------------------------
//
// The coding works on the record's unpacked byte stream (see zentra_format.h) in units:
// a unit is one byte up to depth 8 (a byte of packed pixels, or one 8-bit pixel), a pixel
// of 2 bytes at depth 16 and of 3 bytes at depth 24. A line is a row, column or band of
// the record (PixelStreamShape::lineUnits units), so the line above lies lineUnits units
// back. Lengths and distances count units. The decoder knows the unpacked size and stops
// when it has delivered it; there is no end marker, and bytes after the last token are
// not looked at.
//
// The coded bytes mix whole bytes (verbatim units, delta codes, a distance's low byte)
// with single bits. Bits are read from a bit byte, most significant bit first; when a bit
// is wanted and the bit byte is used up, the next byte of the stream becomes the bit
// byte. So bits and bytes stand in the stream in the order the decoder takes them.
//
// A length n (1 to 16383) is an interleaved Elias gamma code: n's bits after its leading
// 1, each preceded by a 0, then a 1:
//
//     n = 1     1              n = 4..7    0 b 0 c 1     (n = 1bc in binary)
//     n = 2, 3  0 b 1          n = 16383   (0 1) x 13, 1    longer: damage
//
// The decoder holds the last copy distance R (1 unit at the start) and whether the last
// token was a literal run. Tokens:
//
//   after a copy, at the start, and after a literal run of 16383 units:
//     0 [m] n        literal run of n units; m (a bit, only at depths 8, 16 and 24)
//                    chooses: 0 verbatim, n x unitBytes bytes follow; 1 delta codes
//                    for n units follow (squash_deltas.h)
//     1 D n          copy of n units from distance D; then R = D
//   after any other literal run:
//     0 n            copy of n units from distance R
//     1 D n          copy of n units from distance D; then R = D
//
//   D, when the line above lies within the window (lineUnits <= window units):
//     1              the line above: lineUnits units back
//     0 L h          L a byte, h a bit: h x 256 + L + 1 units back
//   and without the first bit when it does not. The window is the last 512 bytes:
//   distances of 1 to floor(512 / unitBytes) units = 512, 256 or 170.
//
// A copy repeats units as they come, so D = 1 is a run of the last unit and a copy longer
// than D repeats a pattern. Damage: a copy from farther than the window or from before
// the stream's start, a length above 16383 or past the unpacked size, a delta code that
// makes more pixels than its run has left, bytes missing at the end.
//
// Worked example (depth 1, row order, 24 x 3 pixels: 3 bytes a line, the line above
// within the window), the stream 3C 81 FF | 3C 81 FF | 3C 81 FF:
//
//   token               bits         bytes          units out
//   literal run of 3    0 011        3C 81 FF       3C 81 FF
//   copy of 6, above    1 1 01001                   3C 81 FF 3C 81 FF
//
//   coded: 3D 3C 81 FF 20
//          byte 0 is the first bit byte: 0 011 | 1 1 01 (0011 1101); bytes 1 to 3 are
//          the literal's; byte 4 is the next bit byte: 001 and five unused 0 bits.
//
// Depth 16, RGB565 low byte first, the pixels 0x1082 and 0x10A3 (82 10 A3 10): bits
// 0 1 001, a delta run of 2; the first pixel, against zero, takes the two-byte code
// 84 22 (g +4, r +2, b +2), the second the one-byte code 11 (g +1, r 0, b +1): coded
// 48 84 22 11. format/tests/squash_coding_test.cpp checks these and more.
//
// ---- Decoding on a device ------------------------------------------------------------
//
// A streaming decoder holds the position in the coded bytes, the bit byte, R, the token
// kind and its count, the line above in bytes, how much the tokens read so far made (so
// that no copy reaches before the start) and a window: the last 512 unpacked bytes, a
// ring that the caller supplies. Copies, and delta codes for the pixel before, read it.
// device/firmware/squash_decode.h has that state (31 bytes on AVR) and the decoder.
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
