// What the dense fuzz targets share: a record shape of depth 1, 2 or 4 and a window
// chosen by the input's first bytes, and the device prototype of the decoder
// (device/firmware/dense_prototype.c) decoding coded bytes in pieces of a chosen size.
#pragma once

#include "dense_coding.h"
#include "fuzz_support.h"
#include "pixel_stream_shape.h"
#include "zentra_format.h"

extern "C" {
#include "dense_prototype.h"
}

#include <vector>

namespace fuzz {

struct DenseRecord {
    PixelStreamShape shape;
    DenseWindow window;
};

// Depth 1, 2 or 4 in any order, 1 to 600 pixels along a line (so that the line above lies
// inside the 512-byte window or beyond it) and 1 to 64 across, either window.
inline DenseRecord ChooseDenseRecord(InputStream& input) {
    static const unsigned depths[] = {1, 2, 4};
    const unsigned depth = depths[input.Below(3)];
    const auto layout = static_cast<std::uint8_t>(input.Byte() & LAYOUT_ORDER);
    const unsigned along = 1 + (input.Byte() | (input.Byte() << 8)) % 600;
    const unsigned across = 1 + input.Below(64);
    const bool columns = (layout & ORDER_COLUMNS) != 0;
    DenseRecord r;
    r.shape =
        *ShapeOfPixelStream(layout, depth, columns ? across : along, columns ? along : across);
    r.window = input.Below(2) != 0 ? DenseWindow::WholeStream : DenseWindow::Bytes512;
    return r;
}

// The prototype's stream of the coded bytes, read `piece` bytes at a time into one
// buffer; ok tells whether it made the whole stream. The coded bytes lie in an exactly
// sized heap block, so that AddressSanitizer sees any read past them.
inline std::vector<std::uint8_t> PrototypeDecode(const std::vector<std::uint8_t>& coded,
                                                 const DenseRecord& r, std::uint16_t piece,
                                                 bool& ok) {
    const std::vector<std::uint8_t> exact(coded);
    std::vector<std::uint8_t> ring(DENSE_RING, 0xEE);
    std::vector<std::uint8_t> out(r.shape.totalBytes);
    dense_state d;
    dense_begin(&d, exact.data(), exact.data() + exact.size(),
                r.window == DenseWindow::Bytes512 ? ring.data() : nullptr,
                static_cast<std::uint16_t>(r.shape.lineUnits));
    std::size_t done = 0;
    ok = true;
    while (done < out.size()) {
        const auto want =
            static_cast<std::uint16_t>(std::min<std::size_t>(piece, out.size() - done));
        const std::uint16_t got = dense_read(&d, out.data() + done, want);
        Require(got <= want, "the prototype delivers at most what was asked");
        done += got;
        if (got < want) {
            ok = false;
            break;
        }
    }
    out.resize(done);
    return out;
}

} // namespace fuzz
