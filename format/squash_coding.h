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
// The coded stream is a sequence of tokens, each a token byte, then for a long length one
// or two extension bytes, then what the token carries. The decoder holds R, the distance
// of the last copy (1 unit at the start).
//
//    token byte     7   6   5   4   3   2   1   0
//                 +---+---+---+---+---+---+---+---+
//   verbatim run  | 0 | 0 | 0 |   length - 1 (f)  |  then n x unitBytes bytes
//   delta run     | 0 | 0 | 1 |        f          |  then delta codes for n units
//   copy, above   | 0 | 1 | 0 |        f          |  n units from the line above
//   copy from R   | 0 | 1 | 1 |        f          |  n units from R units back
//   copy, far     | 1 | h |     length - 1 (g)    |  then L: n units from h x 256 + L + 1
//                 +---+---+---+---+---+---+---+---+     units back
//
// A field below its top value (f < 31, g < 63) holds n - 1. At the top value the rest,
// n - 32 or n - 64, follows in one extension byte when below 128, else in two: its low
// 7 bits with bit 7 set, then the rest shifted down by 7. n is at most 16383.
//
// Every copy sets R to its distance. A copy repeats units as they come, so distance 1 is
// a run of the last unit and a copy longer than its distance repeats a pattern. The line
// above lies lineUnits units back and may be used only when it lies within the window,
// the last 512 bytes: distances of 1 to floor(512 / unitBytes) units = 512, 256 or 170.
// Before the stream's start lie zeros: a copy that reaches there takes 0 bytes, and the
// first delta code refers to a zero unit. Delta runs exist at depths 8, 16 and 24
// (squash_deltas.h has their codes). The decoder stops when it has made the unpacked
// size; the rest of a token that reaches past it is not used.
//
// Damage: a delta run at depths 1 to 4, the line above beyond the window, a copy from
// farther than the window, a length above 16383, a delta code that makes more pixels
// than its run has left, bytes missing before the unpacked size is made.
//
// Worked example (depth 1, row order, 24 x 3 pixels: 3 bytes a line), the stream
// 3C 81 FF | 3C 81 FF | 3C 81 FF is coded 02 3C 81 FF 45:
//
//   02          verbatim run, f = 2: 3 units     3C 81 FF
//   3C 81 FF    its bytes
//   45          copy from the line above, f = 5: 6 units, 3 back     3C 81 FF 3C 81 FF
//
// Depth 16, RGB565 low byte first, the pixels 0x1082 and 0x10A3 (82 10 A3 10): 21 a delta
// run of 2; the first pixel, against zero, takes the two-byte code 84 22 (g +4, r +2,
// b +2), the second the one-byte code 11 (g +1, r 0, b +1): coded 21 84 22 11.
// format/tests/squash_coding_test.cpp checks these and more.
//
// ---- Decoding on a device ------------------------------------------------------------
//
// A streaming decoder holds the position in the coded bytes, R, the token kind and its
// count, the line above in bytes and a window: the last 512 unpacked bytes, a ring that
// the caller supplies and the decoder zeroes at the start. Copies, and delta codes for
// the pixel before, read it. The device library (device/src/zentra_device.c, build option
// ZTR_SQUASH) decodes this way; squash_decoder.h is the host's decoder.
#pragma once

#include "pixel_stream_shape.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Whether delta runs (squash_deltas.h) may occur: at the depths whose units are whole
// pixels, 8, 16 and 24.
inline bool SquashHasDeltaRuns(const PixelStreamShape& shape) {
    return shape.depth >= 8;
}

// Codes an unpacked stream of the given shape (its size a multiple of unitBytes). The
// encoder searches for the shortest coding it can find; empty input gives no bytes.
std::vector<std::uint8_t> EncodeSquash(std::span<const std::uint8_t> unpacked,
                                       const PixelStreamShape& shape);

// EncodeSquash with its working memory kept from one record to the next, for a writer
// that codes many records (an animation) one after the other.
class SquashEncoder {
  public:
    SquashEncoder();
    ~SquashEncoder();
    SquashEncoder(const SquashEncoder&) = delete;
    SquashEncoder& operator=(const SquashEncoder&) = delete;

    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> unpacked,
                                     const PixelStreamShape& shape);

    // The search's memory, defined in squash_coding.cpp.
    struct Match {
        std::uint32_t at = 0xFFFFFFFFu; // where the length at a distance was last found
        std::uint32_t length = 0;
    };
    struct Workspace;

  private:
    std::unique_ptr<Workspace> workspace_;
};
