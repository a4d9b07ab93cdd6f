// Decoding of run-length coded bitmaps. Every unit starts with two bytes: a count above 0
// repeats the second byte's index (RLE8) or its two nibbles in turn (RLE4); a count of 0
// makes the second byte an escape: 0 ends the row, 1 ends the bitmap, 2 moves right and up
// by the next two bytes, 3 to 255 are that many indices stored as they are, padded to a
// whole number of 16-bit words.
#include "bmp_run_length.h"

namespace {

constexpr std::uint8_t ESCAPE_END_OF_ROW = 0;
constexpr std::uint8_t ESCAPE_END_OF_BITMAP = 1;
constexpr std::uint8_t ESCAPE_MOVE = 2;

// Where the next pixel goes; pixels outside the bitmap are dropped.
struct Cursor {
    std::size_t width;
    std::size_t height;
    std::uint8_t* indices;
    std::size_t x = 0;
    std::size_t y = 0; // counted from the bottom row

    void Put(std::uint8_t index) {
        if (x < width && y < height) {
            indices[y * width + x] = index;
        }
        ++x;
    }
};

} // namespace

bool DecodeRunLengthBitmap(std::span<const std::uint8_t> data, int bitCount, std::size_t width,
                           std::size_t height, std::uint8_t* indices) {
    Cursor cursor{width, height, indices};
    std::size_t at = 0;
    const auto has = [&](std::size_t count) { return data.size() - at >= count; };
    while (cursor.y < height) {
        if (!has(2)) {
            return false;
        }
        const std::uint8_t count = data[at];
        const std::uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                const bool low = bitCount == 4 && i % 2 == 1;
                cursor.Put(bitCount == 4 ? (low ? value & 0x0F : value >> 4) : value);
            }
            continue;
        }
        if (value == ESCAPE_END_OF_ROW) {
            cursor.x = 0;
            ++cursor.y;
        } else if (value == ESCAPE_END_OF_BITMAP) {
            return true;
        } else if (value == ESCAPE_MOVE) {
            if (!has(2)) {
                return false;
            }
            cursor.x += data[at];
            cursor.y += data[at + 1];
            at += 2;
        } else {
            // value indices as they are, in value bytes (RLE8) or value nibbles (RLE4),
            // padded to an even number of bytes.
            const std::size_t bytes = bitCount == 4 ? (value + 1u) / 2 : value;
            const std::size_t padded = bytes + bytes % 2;
            if (!has(padded)) {
                return false;
            }
            for (unsigned i = 0; i < value; ++i) {
                const std::uint8_t byte = data[at + (bitCount == 4 ? i / 2 : i)];
                cursor.Put(bitCount == 4 ? (i % 2 == 1 ? byte & 0x0F : byte >> 4) : byte);
            }
            at += padded;
        }
    }
    return true;
}
