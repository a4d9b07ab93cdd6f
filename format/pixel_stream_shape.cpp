// Lines and units of a record's unpacked byte stream, from its lay-out, depth and size:
// the packing rules of zentra_format.h counted without packing anything.
#include "pixel_stream_shape.h"

#include "checked_size.h"
#include "zentra_format.h"

namespace {

// Pixels counted in whole bytes of `perByte` pixels.
std::size_t WholeBytes(std::size_t pixels, unsigned perByte) {
    return (pixels + perByte - 1) / perByte;
}

} // namespace

std::optional<PixelStreamShape> ShapeOfPixelStream(std::uint8_t layout, unsigned depth,
                                                   unsigned width, unsigned height) {
    PixelStreamShape shape;
    shape.depth = depth;
    shape.highByteFirst = depth == 16 && ExchangesPixelBytes(layout);
    unsigned perByte = 1;
    switch (depth) {
    case 1:
    case 2:
    case 4:
        perByte = 8 / depth;
        break;
    case 8:
        break;
    case 16:
        shape.unitBytes = 2;
        break;
    case 24:
        shape.unitBytes = 3;
        break;
    default:
        return std::nullopt;
    }
    // A planar record's stream is its planes one after the other, each the stream of a
    // depth-1 record of the same order: as one stream, the lines of every plane in turn.
    if ((layout & LAYOUT_PLANAR) != 0) {
        if (!IsPlanarDepth(depth)) {
            return std::nullopt;
        }
        std::optional<PixelStreamShape> plane = ShapeOfPixelStream(
            static_cast<std::uint8_t>(layout & ~LAYOUT_PLANAR), 1, width, height);
        if (!plane || !CheckedMultiply(plane->lines, depth, plane->lines) ||
            !CheckedMultiply(plane->totalBytes, depth, plane->totalBytes)) {
            return std::nullopt;
        }
        return plane;
    }
    const std::uint8_t order = layout & LAYOUT_ORDER;
    const bool columns = (order & ORDER_COLUMNS) != 0;
    const bool banded = (order & ORDER_BANDED_ROWS) != 0 && perByte > 1;
    const std::size_t along = columns ? height : width; // pixels along a plain line
    const std::size_t across = columns ? width : height;
    if (banded) {
        shape.lines = WholeBytes(across, perByte);
        shape.lineUnits = along;
    } else {
        shape.lines = across;
        shape.lineUnits = WholeBytes(along, perByte);
    }
    std::size_t units = 0;
    if (!CheckedMultiply(shape.lines, shape.lineUnits, units) ||
        !CheckedMultiply(units, shape.unitBytes, shape.totalBytes)) {
        return std::nullopt;
    }
    return shape;
}
