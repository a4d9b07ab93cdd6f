// What both squash fuzz targets share: a record shape chosen by the input's first bytes,
// and the device decoder run over coded bytes in pieces of a chosen size.
#pragma once

#include "fuzz_support.h"
#include "pixel_stream_shape.h"
#include "squash_decode.h"

#include <vector>

namespace fuzz {

// A shape of one of the six depths, a line of 1 to 600 units (so the line above lies
// inside the window or beyond it) and, at depth 16, either byte order.
inline PixelStreamShape ChooseShape(InputStream& input) {
    static const unsigned depths[] = {1, 2, 4, 8, 16, 24};
    PixelStreamShape shape;
    shape.depth = depths[input.Below(6)];
    shape.unitBytes = shape.depth == 24 ? 3 : (shape.depth == 16 ? 2 : 1);
    shape.highByteFirst = shape.depth == 16 && input.Below(2) == 1;
    shape.lineUnits = 1 + (input.Byte() | (input.Byte() << 8)) % 600;
    return shape;
}

// The device decoder's output for the coded bytes, read `piece` bytes at a time; ok
// tells whether it ended with the whole stream.
inline std::vector<std::uint8_t> DeviceDecode(const std::vector<std::uint8_t>& coded,
                                              const PixelStreamShape& shape, std::size_t unpacked,
                                              std::uint16_t piece, bool& ok) {
    std::vector<std::uint8_t> window(ZTR_SQUASH_WINDOW);
    std::vector<std::uint8_t> out(unpacked + piece);
    ztr_squash d;
    ztr_squash_begin(
        &d, coded.data(), coded.data() + coded.size(), static_cast<std::uint32_t>(unpacked),
        static_cast<std::uint32_t>(shape.lineUnits * shape.unitBytes),
        static_cast<std::uint8_t>(shape.depth), shape.highByteFirst ? 1 : 0, window.data());
    std::size_t done = 0;
    std::uint16_t got = 0;
    while ((got = ztr_squash_read(&d, out.data() + done, piece)) != 0) {
        Require(got <= piece, "the device decoder delivers at most what was asked");
        done += got;
        Require(done <= unpacked, "the device decoder delivers at most the unpacked size");
    }
    ok = d.status == 1;
    Require(d.status != 0, "the device decoder ends with the stream done or damaged");
    Require(!ok || done == unpacked, "a finished stream is exactly the unpacked size");
    out.resize(done);
    return out;
}

} // namespace fuzz
