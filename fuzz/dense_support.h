// What the dense fuzz targets share: a record shape of depth 1, 2 or 4, a window and the
// form of literal bytes chosen by the input's first bytes, and the device library decoding the
// record that holds coded bytes: with the 512-byte window in pieces of a chosen size through the
// ring of ztr_begin_window, with copies from the whole frame placed whole into a frame buffer by
// ztr_apply_in_frame.
#pragma once

#include "dense_coding.h"
#include "fuzz_support.h"
#include "pixel_stream_shape.h"
#include "zentra_device.h"
#include "zentra_format.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace fuzz {

struct DenseRecord {
    RecordHeader header; // lay-out, depth, width and height; coding dense, the window
    PixelStreamShape shape;
    DenseWindow window;
    DenseLiterals literals;
};

// Depth 1, 2 or 4 in any order, 1 to 600 pixels along a line (so that the line above lies
// inside the 512-byte window or beyond it) and 1 to 64 across, either window; with planes,
// planar at depths 2 and 4 when the input says so; literal bytes whole or from a table
// (bit 7 of the lay-out's byte).
inline DenseRecord ChooseDenseRecord(InputStream& input, bool planes = false) {
    static const unsigned depths[] = {1, 2, 4};
    const unsigned depth = depths[input.Below(3)];
    const std::uint8_t chosen = input.Byte();
    auto layout = static_cast<std::uint8_t>(chosen & LAYOUT_ORDER);
    if (planes) {
        layout = static_cast<std::uint8_t>(chosen & LAYOUT_BITS);
        if (depth == 1) {
            layout = static_cast<std::uint8_t>(layout & ~LAYOUT_PLANAR);
        }
    }
    const unsigned along = 1 + (input.Byte() | (input.Byte() << 8)) % 600;
    const unsigned across = 1 + input.Below(64);
    const bool columns = (layout & ORDER_COLUMNS) != 0;
    DenseRecord r;
    r.header.coding = PixelCoding::Dense;
    r.header.layout = layout;
    r.header.depth = static_cast<std::uint8_t>(depth);
    r.header.width = static_cast<std::uint16_t>(columns ? across : along);
    r.header.height = static_cast<std::uint16_t>(columns ? along : across);
    r.shape = *ShapeOfPixelStream(layout, depth, r.header.width, r.header.height);
    r.window = input.Below(2) != 0 ? DenseWindow::WholeStream : DenseWindow::Bytes512;
    r.header.wholeStream = r.window == DenseWindow::WholeStream;
    r.literals = (chosen & 0x80) != 0 ? DenseLiterals::Table : DenseLiterals::Whole;
    r.header.literalTable = r.literals == DenseLiterals::Table;
    return r;
}

// The record holding the coded bytes, whole.
inline std::vector<std::uint8_t> DenseFile(const std::vector<std::uint8_t>& coded,
                                           const DenseRecord& r) {
    RecordHeader header = r.header;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.size());
    const auto head = EncodeRecordHeader(header);
    std::vector<std::uint8_t> file(head.begin(), head.end());
    file.insert(file.end(), coded.begin(), coded.end());
    return file;
}

// The device library's stream of the record holding the coded bytes, from memory, read
// `piece` bytes at a time (with the 512-byte window; copies from the whole frame are
// placed in one go); ok tells whether it made the whole stream. The file lies in an
// exactly sized heap block, so that AddressSanitizer sees any read past it.
inline std::vector<std::uint8_t> DeviceDecode(const std::vector<std::uint8_t>& coded,
                                              const DenseRecord& r, std::uint16_t piece, bool& ok) {
    const std::vector<std::uint8_t> file(DenseFile(coded, r));
    const ztr_source source =
        ZTR_MEMORY_SOURCE(file.data(), static_cast<std::uint32_t>(file.size()));
    ztr_record record;
    Require(ztr_read_record(&source, 0, &record) == ZTR_OK, "the record is read");
    Require(record.unpacked_size == r.shape.totalBytes, "both sides agree on the stream's size");
    Require(record.depth == r.header.depth, "the depth comes out of the depth byte");
    std::vector<std::uint8_t> out(r.shape.totalBytes);
    if (r.window == DenseWindow::WholeStream) {
        const ztr_result placed = ztr_apply_in_frame(&source, &record, &record, out.data(),
                                                     static_cast<std::uint32_t>(out.size()));
        Require(placed == ZTR_OK || placed == ZTR_DAMAGED, "a frame that holds it takes it");
        ok = placed == ZTR_OK;
        if (!ok) {
            out.clear(); // how far it came is not told
        }
        return out;
    }
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE, 0xEE);
    ztr_decoder decoder;
    Require(ztr_begin_window(&decoder, &source, &record, window.data()) == ZTR_OK,
            "the decoding starts");
    std::size_t done = 0;
    while (done < out.size()) {
        const auto want =
            static_cast<std::uint16_t>(std::min<std::size_t>(piece, out.size() - done));
        const std::uint16_t got = ztr_read(&decoder, out.data() + done, want);
        Require(got <= want, "the device delivers at most what was asked");
        done += got;
        if (got < want) {
            break;
        }
    }
    ok = decoder.status == ZTR_END;
    Require(ok == (done == out.size()), "the device ends with the stream done or damaged");
    out.resize(done);
    return out;
}

} // namespace fuzz
