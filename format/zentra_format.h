// The Zentra file format: record and delta headers, the lay-out byte's bits and record
// flags, and their little-endian byte form on disk. Shared by the writer and the decoder.
//
// ---- The format in one page --------------------------------------------------------
//
// A .ztr file is a plain run of records, the first at offset 0, each directly after the
// one before; no file header, no index, no padding. Every record stores one bitmap,
// ready to be copied into the memory of one kind of display. All multi-byte fields are
// little-endian and unsigned.
//
//   record = RecordHeader (12 bytes)
//            DeltaHeader  (6 bytes)           when RECORD_DELTA is set
//            palette      (3 x 2^depth bytes) when RECORD_PALETTE is set (or, for a squash
//                                             record, depth bit 6): R, G, B per value
//            pixel data   (run-length or squash coded, up to the end of the record)
//
//   RecordHeader                           DeltaHeader
//   offset size field                      offset size field
//   0      4    record length (all of it)  0      2    delay in ms
//   4      2    signature 0x02 0xA2        2      2    dx: left column in the frame
//   6      1    lay-out byte               4      2    dy: first stored row in the frame
//   7      1    depth byte: colour depth (bits/pixel), bits 6 and 7 see "Codings" below
//   8      2    width                      The next record starts at this record's start
//   10     2    height                     + its record length. A reader stops at a short
//                                          or wrongly signed header.
//
// The lay-out byte:
//
//     7   6   5   4   3   2   1   0
//   +---+---+---+---+---+---+---+---+
//   | L | P | D | I | N | R | order |    order 0 rows, 1 columns,
//   +---+---+---+---+---+---+---+---+          2 banded rows, 3 banded columns
//     |   |   |   |   |   +-- LAYOUT_REVERSED: first pixel of a byte in its low bits
//     |   |   |   |   +------ LAYOUT_PLANAR: bit planes one after the other (below)
//     |   |   |   +---------- LAYOUT_INVERTED_Y: stored rows run bottom to top
//     |   |   +-------------- RECORD_DELTA: a DeltaHeader follows
//     |   +------------------ RECORD_PALETTE: a palette follows
//     +---------------------- RECORD_LAST_FRAME: last record of an animation
//
// Pixel packing. Before coding, a record's pixels form a byte stream. At depth d <= 8 a
// byte holds p = 8 / d pixels, the first in the top bits (bits 7 .. 8 - d), the next
// below it; LAYOUT_REVERSED reverses the order of the fields (at depth 1 it mirrors the
// byte). Fields beyond the bitmap's edge are 0. Every row (column, band) starts a new
// byte. Stored rows are the picture's rows top first, or bottom first with
// LAYOUT_INVERTED_Y. Without a palette a value is a grey level, 0 black; with one it is
// an index into the palette, whose 2^depth entries follow the record's headers.
//
// Where pixel (x, y) of a 10 x 10 bitmap lands at depth 1 (bit 7 first; with
// LAYOUT_REVERSED bit 7 - b becomes bit b):
//
//   rows            byte y * 2 + x / 8,    bit 7 - x % 8   (2 bytes a row, 6 bits unused)
//   columns         byte x * 2 + y / 8,    bit 7 - y % 8   (2 bytes a column)
//   banded rows     byte (y / 8) * 10 + x, bit 7 - y % 8   (bands of 8 rows, a byte a column)
//   banded columns  byte (x / 8) * 10 + y, bit 7 - x % 8   (bands of 8 columns, a byte a row)
//
//   rows, 10 x 3:   byte 0: x 0 1 2 3 4 5 6 7   byte 1: x 8 9 - - - - - -   (row 0)
//                   bits    7 6 5 4 3 2 1 0           bits 7 6 0 0 0 0 0 0
//   banded rows:    byte x of band 0 holds column x: y 0 in bit 7 ... y 7 in bit 0;
//                   band 1 holds y 8 and 9 in bits 7 and 6, bits 5-0 zero.
//
// At depth 8 a byte is one pixel: rows give byte y * W + x, columns byte x * H + y, and
// the banded orders are the plain ones (writers clear bit 1 of the order).
//
// Planar lay-out (LAYOUT_PLANAR, depths 2 and 4). A record of depth D holds D bit
// planes one after the other, plane 0 (bit 0 of every pixel's value) first. Each plane
// is packed exactly as a depth-1 record of the same order, reversal and Y rule would be:
// 8 pixels a byte, the first in bit 7 (bit 0 with LAYOUT_REVERSED), every row (column,
// band of 8) starting a new byte, fields beyond the edge 0. The record's
// pixel data is one run-length coded stream through plane 0, then plane 1, ... (the
// remembered byte P runs on from one plane into the next). A delta record's rectangle
// is aligned as at depth 1, and every plane holds that rectangle. Writers clear the bit
// at depth 1, where the one plane is the packed record, and at depth 8; a planar record
// of depth 1 or 8 has no packing, and readers list it without drawing it.
//
// A 5 x 3 picture of depth 2 in row order, values v (bit 1 = b1, bit 0 = b0):
//
//   values   row 0:  0 1 2 3 0        plane 0 (b0)   row 0: 0 1 0 1 0 -> 0101 0000 = 50
//            row 1:  3 3 0 0 1                       row 1: 1 1 0 0 1 -> 1100 1000 = C8
//            row 2:  2 0 0 0 2                       row 2: 0 0 0 0 0 -> 0000 0000 = 00
//                                     plane 1 (b1)   row 0: 0 0 1 1 0 -> 0011 0000 = 30
//                                                    row 1: 1 1 0 0 0 -> 1100 0000 = C0
//                                                    row 2: 1 0 0 0 1 -> 1000 1000 = 88
//   unpacked stream: 50 C8 00 | 30 C0 88   (plane 0, then plane 1; then run-length coded)
//
// Two-plane colour e-paper controllers take such planes as their two memories (black
// and white in one, red or yellow in the other); the panel's palette says which index,
// and so which bits, stand for which colour.
//
// Depths 16 and 24 are colour, without palette: a pixel is 2 or 3 bytes, in row order or
// column order as at depth 8 (bit 1 and LAYOUT_PLANAR cleared: colour has no bit planes).
// 16 bits is RGB565:
//
//   bit  15 14 13 12 11 10  9  8  7  6  5  4  3  2  1  0
//        r7 r6 r5 r4 r3 g7 g6 g5 g4 g3 g2 b7 b6 b5 b4 b3   (top bits of 8-bit samples)
//
//                        16 bits               24 bits
//   rows                 low byte, high byte   blue, green, red
//   rows + REVERSED      high byte, low byte   red, green, blue
//   columns              high byte, low byte   red, green, blue
//   columns + REVERSED   low byte, high byte   blue, green, red
//
// Run-length coding. The stream is coded bytewise with one remembered byte P, the last
// literal, which is 0 at the start of each record's pixel data:
//   - a byte b different from P is a literal: it stands for itself and becomes P;
//   - a byte equal to P is a repeat: it stands for itself and the next byte n (0-255)
//     for n more copies; after the count P holds nothing, so the byte after it is always
//     a literal.
// A run of k equal bytes (2 <= k <= 256) is written b, b, k - 2; longer runs start over.
// Worked example, the stream 09 07 07 07 00 00 00 00 00 at the start of a record:
//
//   stream  09 | 07 07 07 | 00 00 00 00 00
//   coded   09 | 07 07 01 | 00 00 03
//             literal 09 (P = 09); 07 literal, 07 repeat with count 1 (two more: three
//             sevens); 00 is a literal after the count, the next 00 a repeat of it with
//             count 3 (five zeros). A record whose stream starts with 0 begins "00 n",
//             because P starts at 0. The stream ends with the bytes the header calls for.
//
// Codings. Bit 7 of the depth byte tells the coding of the pixel data: clear, the
// run-length coding above; set, the squash coding (squash_coding.h), with the colour depth
// in bits 0-5, or, with bit 5 set and bit 6 clear, the dense coding (dense_coding.h) of
// depths 1, 2 and 4. Neither sets RECORD_PALETTE: bit 6 of a squash record's depth byte,
// bit 4 of a dense record's, says that a palette follows, at the same place and of the
// same size as RECORD_PALETTE's.
//
//     7   6   5   4   3   2   1   0
//   +---+---+---+---+---+---+---+---+
//   | S | Q |    colour depth       |    S clear: run-length, depth in bits 0-7, Q is
//   +---+---+---+---+---+---+---+---+             part of it (no written depth has it)
//   | 1 | 0 | 1 | P | W |   depth   |    S set:   squash, depth in bits 0-5, Q: palette
//   +---+---+---+---+---+---+---+---+             (depths up to 24: bit 5 clear)
//                                         dense:   depth 1, 2 or 4 in bits 0-2, P: palette,
//                                                  W: copies reach back to the stream's
//                                                  start (else 512 bytes)
//
// A dense record whose literal bytes may come from a table (dense_coding.h) holds the
// complement of its depth in bits 0-2: 6 for depth 1, 5 for depth 2, 3 for depth 4 (two
// bits set, where a depth has one). Readers from before see a depth without a packing and
// walk past. They take a palette of 3 << 6, 3 << 5 or 3 << 3 bytes when P is set, so a
// writer gives such a record at least the length that palette needs; it is longer anyway
// but for tiny ones, where the table does not pay.
//
// A reader takes a palette when RECORD_PALETTE is set, or when bits 7 and 6 of the depth
// byte are both set, or for a dense record when bit 4 is set. Readers that predate the
// squash coding see a depth of 129 or more: they walk past the record by its length and
// decode none of its bytes (no such depth has a packing), find no record of it for a
// display type, and compute no palette for it (RECORD_PALETTE is clear), so that a device
// library that refuses palettes above depth 24 keeps walking. Readers that know squash
// but predate the dense coding see a squash record of depth 33 to 63 without a palette
// (bit 6 clear): no packing, so they too walk past it and draw nothing.
//
// Worked example: a squash record of a 24 x 3 monochrome picture in row order whose rows
// are all 3C 81 FF, with the palette black, white (a whole record, 23 bytes):
//
//   17 00 00 00   record length 23
//   02 A2         signature
//   00            lay-out byte: row order, RECORD_PALETTE clear
//   C1            depth byte: squash (bit 7), a palette follows (bit 6), depth 1
//   18 00 03 00   width 24, height 3
//   00 00 00      palette entry 0: black
//   FF FF FF      palette entry 1: white
//   02 3C 81 FF   squash: a verbatim run of 3 bytes, 3C 81 FF
//   45            squash: a copy of 6 bytes from the line above (3 bytes back)
//
// The same record in the run-length coding is 27 bytes long, with depth byte 01, lay-out
// byte 40 (RECORD_PALETTE) and the pixel data 3C 81 FF 3C 81 FF 3C 81 FF; dense coded
// (depth byte B1: bit 7, bit 5, palette, depth 1; 512-byte window) it is 23 bytes too,
// the pixel data 39 3C 81 FF 20.
//
// Animations. The records one conversion writes for one display type are a sequence: a
// full frame, then delta records each holding only the rectangle (width x height at dx,
// dy in stored rows) that changed against the frame before, aligned to whole bytes
// along the packing axis. Frame k is the full frame with deltas 1 .. k drawn over it.
// Palettes. A record with RECORD_PALETTE carries 2^depth entries of red, green, blue:
// entry k is the colour of value k. Writers pad a palette of fewer colours with black
// entries (0, 0, 0) that no pixel uses, and give every record of a sequence (its delta
// records too) the same palette, so that a delta record shows in its own colours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Lay-out byte, bits 0-4: how the display memory takes its pixels.
inline constexpr std::uint8_t LAYOUT_ORDER = 0x03;
inline constexpr std::uint8_t ORDER_ROWS = 0;
inline constexpr std::uint8_t ORDER_COLUMNS = 1;
inline constexpr std::uint8_t ORDER_BANDED_ROWS = 2;
inline constexpr std::uint8_t ORDER_BANDED_COLUMNS = 3;
inline constexpr std::uint8_t LAYOUT_REVERSED = 0x04;
inline constexpr std::uint8_t LAYOUT_PLANAR = 0x08;
inline constexpr std::uint8_t LAYOUT_INVERTED_Y = 0x10;
inline constexpr std::uint8_t LAYOUT_BITS = 0x1F;

// Lay-out byte, bits 5-7: what the record itself holds.
inline constexpr std::uint8_t RECORD_DELTA = 0x20;
inline constexpr std::uint8_t RECORD_PALETTE = 0x40;
inline constexpr std::uint8_t RECORD_LAST_FRAME = 0x80;

inline constexpr std::uint8_t SIGNATURE_FIRST_BYTE = 0x02;
inline constexpr std::uint8_t SIGNATURE_SECOND_BYTE = 0xA2;
inline constexpr std::uint16_t RECORD_SIGNATURE = 0xA202; // the two bytes read little-endian

// Depth byte: the squash coding, and with it a palette; the depth of a squash record.
inline constexpr std::uint8_t DEPTH_SQUASH = 0x80;
inline constexpr std::uint8_t DEPTH_SQUASH_PALETTE = 0x40;
inline constexpr std::uint8_t DEPTH_SQUASH_BITS = 0x3F;

// Depth byte of a dense record: DEPTH_SQUASH with DEPTH_DENSE (and DEPTH_SQUASH_PALETTE
// clear), a palette, copies from the whole stream, the depth.
inline constexpr std::uint8_t DEPTH_DENSE = 0x20;
inline constexpr std::uint8_t DEPTH_DENSE_PALETTE = 0x10;
inline constexpr std::uint8_t DEPTH_DENSE_WHOLE = 0x08;
inline constexpr std::uint8_t DEPTH_DENSE_BITS = 0x07;

// Bits 0-2 of a dense record's depth byte from its depth, or its depth from them: the
// depth itself, or with a literal table its complement.
inline std::uint8_t DenseDepthBits(std::uint8_t depth, bool literalTable) {
    return static_cast<std::uint8_t>((literalTable ? ~depth : depth) & DEPTH_DENSE_BITS);
}

// Whether a dense record with a literal table, of this depth, palette and coded pixel
// data, is as long as the palette that a reader from before takes from its depth bits.
inline bool TableRecordLongEnough(std::uint8_t depth, bool palette, std::size_t codedBytes) {
    const std::size_t taken = std::size_t{3} << DenseDepthBits(depth, true);
    return !palette || (std::size_t{3} << depth) + codedBytes >= taken;
}

// How a record's pixel data is coded.
enum class PixelCoding : std::uint8_t {
    RunLength,
    Squash,
    Dense,
};

inline constexpr std::size_t RECORD_HEADER_SIZE = 12;
inline constexpr std::size_t DELTA_HEADER_SIZE = 6;

// Bytes 0-11 of every record.
//   0..3  record length (whole record, this header included)
//   4..5  signature 0x02 0xA2
//   6     lay-out byte       7     depth byte
//   8..9  width              10..11 height
// As the tools hold it, the depth byte is taken apart: depth is the colour depth, coding
// the pixel coding (and wholeStream a dense record's window), and RECORD_PALETTE in
// layout tells that a palette follows, whatever the coding. The byte form (EncodeRecordHeader,
// DecodeRecordHeader) puts them together.
struct RecordHeader {
    std::uint32_t recordLength = 0;
    std::uint16_t signature = RECORD_SIGNATURE;
    std::uint8_t layout = 0;
    std::uint8_t depth = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    PixelCoding coding = PixelCoding::RunLength;
    bool wholeStream = false;  // dense: copies reach back to the stream's start
    bool literalTable = false; // dense: literal bytes may come from the table
};

// Follows the record header when RECORD_DELTA is set: delay (ms), dx, dy.
struct DeltaHeader {
    std::uint16_t delay = 0;
    std::uint16_t dx = 0;
    std::uint16_t dy = 0;
};

std::array<std::uint8_t, RECORD_HEADER_SIZE> EncodeRecordHeader(const RecordHeader& header);
RecordHeader DecodeRecordHeader(const std::array<std::uint8_t, RECORD_HEADER_SIZE>& bytes);
std::array<std::uint8_t, DELTA_HEADER_SIZE> EncodeDeltaHeader(const DeltaHeader& header);
DeltaHeader DecodeDeltaHeader(const std::array<std::uint8_t, DELTA_HEADER_SIZE>& bytes);

// Colour records (depths 16 and 24) hold red, green, blue pixels of 2 or 3 bytes. A
// pixel's first and last byte are exchanged against the platform bitmap's order (24
// bits: blue, green, red; 16 bits: the RGB565 value low byte first) in row order with
// LAYOUT_REVERSED and in column order without it; `layout` is a record's final lay-out
// byte, whose bit 1 is clear at these depths.
inline bool ExchangesPixelBytes(std::uint8_t layout) {
    const bool reversed = (layout & LAYOUT_REVERSED) != 0;
    const bool columns = (layout & LAYOUT_ORDER) == ORDER_COLUMNS;
    return reversed != columns;
}

inline bool IsColourDepth(unsigned depth) {
    return depth == 16 || depth == 24;
}

// The depths below 8, at which several pixels share a byte: 1, 2 and 4.
inline bool IsSubByteDepth(unsigned depth) {
    return depth == 1 || depth == 2 || depth == 4;
}

// The depths at which a record may be planar: two or four bit planes. At depth 1 the one
// plane is the packed record, and depth 8 has no planes: readers list a planar record of
// those depths and draw nothing for it, as readers always have.
inline bool IsPlanarDepth(unsigned depth) {
    return depth == 2 || depth == 4;
}

// The depths the tools write: 1, 2, 4 and 8 bits of grey or palette index, 16 and 24 bits
// of colour.
inline bool IsWrittenDepth(unsigned depth) {
    return IsSubByteDepth(depth) || depth == 8 || IsColourDepth(depth);
}

// The lay-out byte that a record of depth D is written with, from a display type's
// lay-out code: planar kept at depths 2 and 4 (their planes are packed as at depth 1),
// cleared at depths 1 and 8 and for colour; reversal cleared at depth 8; bit 1 cleared
// from depth 8 on, where the banded orders are the plain ones.
std::uint8_t RecordLayout(std::uint8_t layout, int depth);

// Every lay-out byte (bits 0-4) that records of the depth are written with, in increasing
// order: those that RecordLayout keeps as they are. 16 at depths 1, 2 and 4 (four orders,
// reversed pixel order, inverted Y axis), 4 at depth 8 (rows and columns, inverted Y), 8
// at depths 16 and 24 (reversal stands for the byte order); at depths 2 and 4 the planar
// lay-outs besides, 16 more. Empty for a depth the tools do not write.
std::vector<std::uint8_t> WrittenLayouts(unsigned depth);

// The largest width or height of a picture that the tools take on.
inline constexpr int MAX_PICTURE_SIDE = 32767;

// Size in bytes of a palette of 2^depth entries of red, green, blue. Saturates for
// depths whose palette could not exist in any file.
std::uint64_t PaletteSize(unsigned depth);
