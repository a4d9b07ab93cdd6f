// The shape of a record's unpacked byte stream: how many bytes make one pixel unit, how
// many units make one line (row, column or band) and how many bytes the stream holds.
// The squash coding uses it to find the line above and to count in whole pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct PixelStreamShape {
    unsigned unitBytes = 1;    // 1 up to depth 8 (a byte of packed pixels), 2 or 3 for colour
    std::size_t lineUnits = 0; // units of one row, column or band
    std::size_t lines = 0;     // rows, columns or bands of the record
    std::size_t totalBytes = 0;
    unsigned depth = 1;         // bits per pixel: 1, 2, 4, 8, 16 or 24
    bool highByteFirst = false; // depth 16: the RGB565 value's high byte comes first
};

// The shape for a record's lay-out byte (order bits and LAYOUT_PLANAR used), depth and
// size. A planar record of depth D is D depth-1 streams one after the other: the shape of
// one, with D times its lines and bytes (and depth 1). Nothing for depths without a
// packing (other than 1, 2, 4, 8, 16, 24), planar depths without planes, or a stream
// whose size does not fit std::size_t.
std::optional<PixelStreamShape> ShapeOfPixelStream(std::uint8_t layout, unsigned depth,
                                                   unsigned width, unsigned height);
