// What both squash fuzz targets share: a record of a shape chosen by the input's first
// bytes, and the device library (built with ZTR_SQUASH) decoding it in pieces of a chosen
// size, through the same window the firmware gives it.
#pragma once

#include "fuzz_support.h"
#include "pixel_stream_shape.h"
#include "zentra_device.h"
#include "zentra_format.h"

#include <optional>
#include <vector>

namespace fuzz {

struct RecordShape {
    RecordHeader header; // lay-out, depth, width and height; coding squash
    PixelStreamShape shape;
};

// A record of one of the six depths in any order, reversed or not (so RGB565 comes either
// way round), 1 to 600 pixels along a line (so that the line above lies inside the window
// or beyond it) and 1 to 64 across.
inline RecordShape ChooseRecord(InputStream& input) {
    static const std::uint8_t depths[] = {1, 2, 4, 8, 16, 24};
    RecordShape r;
    r.header.coding = PixelCoding::Squash;
    r.header.depth = depths[input.Below(6)];
    r.header.layout = static_cast<std::uint8_t>(input.Byte() & (LAYOUT_ORDER | LAYOUT_REVERSED));
    const auto along = static_cast<std::uint16_t>(1 + (input.Byte() | (input.Byte() << 8)) % 600);
    const auto across = static_cast<std::uint16_t>(1 + input.Below(64));
    const bool columns = (r.header.layout & ORDER_COLUMNS) != 0;
    r.header.width = columns ? across : along;
    r.header.height = columns ? along : across;
    r.shape = *ShapeOfPixelStream(r.header.layout, r.header.depth, r.header.width, r.header.height);
    return r;
}

// The device library's stream of the record holding the coded bytes, read `piece` bytes
// at a time; ok tells whether it ended with the whole stream.
inline std::vector<std::uint8_t> DeviceDecode(const std::vector<std::uint8_t>& coded,
                                              const RecordShape& r, std::uint16_t piece, bool& ok) {
    RecordHeader header = r.header;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.size());
    const auto head = EncodeRecordHeader(header);
    std::vector<std::uint8_t> file(head.begin(), head.end());
    file.insert(file.end(), coded.begin(), coded.end());
    const ztr_source source =
        ZTR_MEMORY_SOURCE(file.data(), static_cast<std::uint32_t>(file.size()));
    ztr_record record;
    Require(ztr_read_record(&source, 0, &record) == ZTR_OK, "the record is read");
    Require(record.unpacked_size == r.shape.totalBytes, "both sides agree on the stream's size");
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE, 0xEE);
    ztr_decoder decoder;
    Require(ztr_begin_window(&decoder, &source, &record, window.data()) == ZTR_OK,
            "the decoding starts");
    std::vector<std::uint8_t> out(r.shape.totalBytes + piece);
    std::size_t done = 0;
    std::uint16_t got = 0;
    while ((got = ztr_read(&decoder, out.data() + done, piece)) != 0) {
        Require(got <= piece, "the device decoder delivers at most what was asked");
        done += got;
        Require(done <= r.shape.totalBytes, "the device decoder delivers at most the stream");
    }
    ok = decoder.status == ZTR_END;
    Require(decoder.status != ZTR_OK, "the device decoder ends with the stream done or damaged");
    Require(!ok || done == r.shape.totalBytes, "a finished stream is exactly the unpacked size");
    out.resize(done);
    return out;
}

} // namespace fuzz
