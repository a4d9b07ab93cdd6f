// The dense coding of a record's pixel data at depths 1, 2 and 4 (and of planar records,
// whose planes are packed as at depth 1): a third coding beside the run-length and squash
// ones, made for monochrome, grey and e-paper screens and for small decoders. Like the
// small LZ decoders of the field it mixes single bits with whole bytes: lengths are
// interlaced Elias-gamma numbers, a copy may repeat the last distance or come from the
// line above for two bits, and literal bytes and a distance's low byte are read whole.
//
// ---- The stream ----------------------------------------------------------------------
//
// The coding works on the record's unpacked byte stream (see zentra_format.h). A line is
// a row, column or band of the record (PixelStreamShape::lineUnits bytes), so the line
// above lies lineUnits bytes back. The decoder knows the unpacked size and stops when it
// has made it; there is no end marker, and bytes after the last code are not looked at.
//
// The coded bytes are of two kinds, in the order the decoder needs them: bit bytes, read
// a bit at a time from bit 7 down (the next bit byte is taken when the last one is used
// up), and whole bytes (literal bytes and a distance's low byte). A gamma number v >= 1
// is written as the bits of v after its leading 1, each preceded by a 0, then a 1:
//
//   v = 1: 1     v = 2: 0 0 1     v = 3: 0 1 1     v = 6 (110): 0 1 0 0 1
//
// The decoder holds R, the distance of the last copy (1 at the start), and whether the
// last token was a literal run (not at the start). Tokens:
//
//   after a copy, and at the start:
//     0  gamma n                   a literal run: n whole bytes follow
//   after a literal run:
//     0  gamma n                   n bytes copied from R back
//   after either:
//     1 0  gamma n                 n bytes copied from the line above (R = the line)
//     1 1  gamma h+1, byte l,      n bytes copied from d = h x 256 + l + 1 back (R = d);
//          gamma n-1               n is at least 2
//
// Lengths n are 1 to 65535 (a gamma number of more than 16 bits is damage, and so is a new
// distance's n - 1 of 65535). A copy repeats bytes as they come, so distance 1 is a run of
// the last byte and a copy longer than its distance repeats a pattern. Two windows:
//
//   512 bytes   copies reach at most 512 bytes back (h is 0 or 1; the line above only
//               when a line is at most 512 bytes); before the stream's start lie zeros,
//               which a copy may take. A device decodes through a ring of 512 bytes.
//   whole       copies reach back to the stream's first byte and no further (the record
//               says so, see zentra_format.h): a device decodes the whole stream into one
//               buffer, a frame buffer in the record's own lay-out, and copies from it.
//
// Literal bytes come whole, or, in a record that says so, from a table of 32 bytes that
// ends the coded bytes (the bit bytes and whole bytes come before it, so that a device
// finds the table where its codes end). Each literal byte of a run is then coded on its
// own:
//
//   0  4 bits x              table entry x           (the 16 commonest literal bytes)
//   1 0  4 bits x            table entry 16 + x      (the next 16)
//   1 1  a whole byte        the byte itself
//
// The 4 bits are read from the highest down. Dithered screens repeat a few bit patterns
// often, which the table codes in 5 or 6 bits instead of 8.
//
// Damage: a copy from farther than its window allows, a length above 65535, a literal
// byte or a low byte missing, bits missing before the unpacked size is made, fewer coded
// bytes than a table (then no byte is a code).
//
// Worked example (depth 1, row order, 24 x 3 pixels: 3 bytes a line), the stream
// 3C 81 FF | 3C 81 FF | 3C 81 FF is coded 39 3C 81 FF 20:
//
//   bits 0 011        a literal run (0) of gamma 3 (0 1 1): 3 bytes   3C 81 FF
//   3C 81 FF          its bytes, whole
//   bits 10 01001     from the line above (1 0), gamma 6 (0 1 0 0 1): 6 bytes, 3 back
//   bit bytes         0011 1001 = 39 (read first), then 001 and five unused 0 bits = 20
//
// format/tests/dense_coding_test.cpp checks it and more.
//
// ---- Decoding on a device ------------------------------------------------------------
//
// A streaming decoder holds the position in the coded bytes, the bit byte, R, the kind
// of the last token and the current token's count, and the window: a ring of the last
// 512 unpacked bytes that the caller supplies, or the buffer of the whole stream; with a
// table, where the table lies.
// device/src/zentra_device.c is such a decoder; dense_decoder.h is the host's.
#pragma once

#include "pixel_stream_shape.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The longest literal run or copy.
inline constexpr std::uint32_t DENSE_LONGEST = 65535;

// Bytes of unpacked history a copy may reach back with the small window.
inline constexpr std::size_t DENSE_WINDOW_BYTES = 512;

// How far back copies may reach.
enum class DenseWindow : std::uint8_t {
    Bytes512,    // the last 512 bytes
    WholeStream, // every byte made so far: the decoder holds the whole stream
};

// How literal bytes are coded.
enum class DenseLiterals : std::uint8_t {
    Whole, // each a whole byte
    Table, // from the table of 32 bytes that ends the coded bytes, or whole
};

// Entries of a literal table, and those coded in 5 bits (the rest take 6).
inline constexpr std::size_t DENSE_TABLE_BYTES = 32;
inline constexpr std::size_t DENSE_TABLE_SHORT = 16;

// Codes an unpacked stream. The encoder searches for the shortest coding it can find,
// but counts 3 bits more for every copy, which costs little (well under 1 % on screens)
// and keeps the tokens few enough for a device to decode dithered photos in time; empty
// input gives no bytes (and no table). With a table, the table holds the literal bytes
// of a coding with whole literals, commonest first, and the search runs again with their
// costs (once more changes the size by less than 0.1 %).
std::vector<std::uint8_t> EncodeDense(std::span<const std::uint8_t> unpacked,
                                      const PixelStreamShape& shape, DenseWindow window,
                                      DenseLiterals literals = DenseLiterals::Whole);

// EncodeDense with its working memory kept from one record to the next, for a writer
// that codes many records one after the other.
class DenseEncoder {
  public:
    DenseEncoder();
    ~DenseEncoder();
    DenseEncoder(const DenseEncoder&) = delete;
    DenseEncoder& operator=(const DenseEncoder&) = delete;

    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> unpacked,
                                     const PixelStreamShape& shape, DenseWindow window,
                                     DenseLiterals literals = DenseLiterals::Whole);

    // Both forms of literal bytes, for the price of two searches: the table's search
    // starts from the literal bytes of the first.
    struct BothForms {
        std::vector<std::uint8_t> whole;
        std::vector<std::uint8_t> table;
    };
    BothForms EncodeBothForms(std::span<const std::uint8_t> unpacked, const PixelStreamShape& shape,
                              DenseWindow window);

    struct Workspace; // the search's memory, defined in dense_coding.cpp

  private:
    std::unique_ptr<Workspace> workspace_;
};
