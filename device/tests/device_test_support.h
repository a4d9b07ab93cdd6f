// Shared pieces of the device library's tests: memory and callback sources over a byte
// vector, whole-stream decoding, a reference packer written from the format's packing
// rules for every depth and order, the writer's own codings, and records built by hand.
#pragma once

#include "dense_coding.h"
#include "pixel_stream_shape.h"
#include "run_length_buffer.h"
#include "squash_coding.h"
#include "zentra_device.h"
#include "zentra_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace device_test {

using Bytes = std::vector<std::uint8_t>;

// A file read through the callback; every read outside the file is counted, and reads
// from failAt on deliver nothing.
struct CallbackFile {
    const Bytes* bytes = nullptr;
    int readsOutside = 0;
    std::uint32_t failAt = 0xFFFFFFFFu;
};

inline std::uint16_t ReadCallback(void* context, std::uint32_t offset, std::uint8_t* buffer,
                                  std::uint16_t length) {
    auto& file = *static_cast<CallbackFile*>(context);
    if (std::uint64_t{offset} + length > file.bytes->size()) {
        ++file.readsOutside;
        return 0;
    }
    if (offset + length > file.failAt) {
        return 0;
    }
    std::copy_n(file.bytes->begin() + offset, length, buffer);
    return length;
}

inline ztr_source MemorySource(const Bytes& bytes) {
    ztr_source source = ZTR_MEMORY_SOURCE(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return source;
}

inline ztr_source CallbackSource(CallbackFile& file) {
    ztr_source source =
        ZTR_CALLBACK_SOURCE(ReadCallback, &file, static_cast<std::uint32_t>(file.bytes->size()));
    return source;
}

// The record's unpacked stream, pulled `pull` bytes at a time; status is the decoder's
// status afterwards (ZTR_END when the whole stream came).
inline Bytes DecodeStream(const ztr_source& source, const ztr_record& record, std::uint16_t pull,
                          int& status) {
    ztr_decoder decoder;
    Bytes window(ZTR_WINDOW_SIZE, 0xEE); // the decoder must not depend on what it held
    status = ztr_begin_window(&decoder, &source, &record, window.data());
    Bytes out;
    if (status != ZTR_OK) {
        return out;
    }
    Bytes piece(pull);
    while (const std::uint16_t got = ztr_read(&decoder, piece.data(), pull)) {
        out.insert(out.end(), piece.begin(), piece.begin() + got);
    }
    status = decoder.status;
    return out;
}

// Every record of the file, by the device walk; status is the walk's final result.
inline std::vector<ztr_record> WalkRecords(const ztr_source& source, int& status) {
    std::vector<ztr_record> records;
    ztr_record record;
    status = ztr_read_record(&source, 0, &record);
    while (status == ZTR_OK) {
        records.push_back(record);
        status = ztr_next_record(&source, &record);
    }
    return records;
}

// The writer's run-length coding of an unpacked stream.
inline Bytes Encode(const Bytes& unpacked) {
    RunLengthBuffer buffer;
    BeginPixelData(buffer);
    {
        PixelByteCoder coder(buffer);
        for (const std::uint8_t b : unpacked) {
            coder.Put(b);
        }
    }
    Bytes coded(buffer.Data(), buffer.Data() + buffer.Length());
    EndPixelData(buffer, nullptr);
    return coded;
}

// The pixel data of an unpacked stream in a coding: the writer's run-length coder, or the
// squash encoder for the record's shape.
inline Bytes Encode(const Bytes& unpacked, PixelCoding coding, std::uint8_t layout,
                    std::uint8_t depth, int width, int height) {
    if (coding == PixelCoding::RunLength) {
        return Encode(unpacked);
    }
    const auto shape = ShapeOfPixelStream(layout, depth, static_cast<unsigned>(width),
                                          static_cast<unsigned>(height));
    EXPECT_TRUE(shape.has_value());
    return shape ? EncodeSquash(unpacked, *shape) : Bytes{};
}

// A picture of pixel values (0 to 2^depth - 1; the bytes of a pixel, little-endian, from
// depth 16 up), top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> values;
    std::uint32_t At(int x, int y) const {
        return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
    }
};

struct Rect {
    int x = 0;
    int y = 0; // in stored rows
    int width = 0;
    int height = 0;
};

// The unpacked stream of the rectangle, written from the format's packing rules: stored
// rows run bottom-up with an inverted Y-axis; a byte's first pixel is its most
// significant field, or its least with reversed order; fields beyond the rectangle are 0.
// A planar record is its bit planes one after the other, plane p (bit p of every value)
// packed as at depth 1.
inline Bytes PackReference(const Picture& picture, int depth, std::uint8_t layout, Rect rect) {
    if ((layout & ZTR_LAYOUT_PLANAR) != 0 && depth > 1) {
        Bytes planes;
        for (int p = 0; p < depth; ++p) {
            Picture plane = picture;
            for (std::uint32_t& value : plane.values) {
                value = (value >> p) & 1u;
            }
            const Bytes packed = PackReference(
                plane, 1, static_cast<std::uint8_t>(layout & ~ZTR_LAYOUT_PLANAR), rect);
            planes.insert(planes.end(), packed.begin(), packed.end());
        }
        return planes;
    }
    const int order = layout & ZTR_LAYOUT_ORDER;
    const bool inverted = (layout & ZTR_LAYOUT_INVERTED_Y) != 0;
    const bool reversed = (layout & ZTR_LAYOUT_REVERSED) != 0;
    const int p = depth < 8 ? 8 / depth : 1;
    const int pixelBytes = depth < 8 ? 1 : depth / 8;
    auto value = [&](int i, int j) -> std::uint32_t { // rectangle column i, stored row j
        if (i >= rect.width || j >= rect.height) {
            return 0;
        }
        const int storedRow = rect.y + j;
        const int row = inverted ? picture.height - 1 - storedRow : storedRow;
        return picture.At(rect.x + i, row);
    };
    Bytes out;
    // p pixels into one byte (or one pixel's bytes); step says where the next pixel is.
    auto put = [&](int i, int j, int stepI, int stepJ) {
        if (depth >= 8) {
            const std::uint32_t v = value(i, j);
            for (int k = 0; k < pixelBytes; ++k) {
                out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
            }
            return;
        }
        unsigned byte = 0;
        for (int k = 0; k < p; ++k) {
            const unsigned field = value(i + k * stepI, j + k * stepJ);
            byte |= field << (reversed ? depth * k : 8 - depth * (k + 1));
        }
        out.push_back(static_cast<std::uint8_t>(byte));
    };
    const int w = rect.width;
    const int h = rect.height;
    if (order == ZTR_ORDER_ROWS) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; i += p)
                put(i, j, 1, 0);
    } else if (order == ZTR_ORDER_COLUMNS) {
        for (int i = 0; i < w; ++i)
            for (int j = 0; j < h; j += p)
                put(i, j, 0, 1);
    } else if (order == ZTR_ORDER_BANDED_ROWS) {
        for (int j = 0; j < h; j += p)
            for (int i = 0; i < w; ++i)
                put(i, j, 0, 1);
    } else {
        for (int i = 0; i < w; i += p)
            for (int j = 0; j < h; ++j)
                put(i, j, 1, 0);
    }
    return out;
}

// One record: header, delta header when delta is given, the palette when not empty, and
// the coded pixel data; wholeStream marks a dense record's copies from the whole frame.
inline Bytes MakeRecord(std::uint8_t layout, std::uint8_t depth, int width, int height,
                        const Bytes& coded, const DeltaHeader* delta = nullptr,
                        const Bytes& palette = {}, PixelCoding coding = PixelCoding::RunLength,
                        bool wholeStream = false, bool literalTable = false) {
    RecordHeader header;
    header.coding = coding;
    header.wholeStream = wholeStream;
    header.literalTable = literalTable;
    header.layout = static_cast<std::uint8_t>(layout | (delta ? RECORD_DELTA : 0) |
                                              (palette.empty() ? 0 : RECORD_PALETTE));
    header.depth = depth;
    header.width = static_cast<std::uint16_t>(width);
    header.height = static_cast<std::uint16_t>(height);
    header.recordLength = static_cast<std::uint32_t>(
        RECORD_HEADER_SIZE + (delta ? DELTA_HEADER_SIZE : 0) + palette.size() + coded.size());
    const auto head = EncodeRecordHeader(header);
    Bytes out(head.begin(), head.end());
    if (delta) {
        const auto extra = EncodeDeltaHeader(*delta);
        out.insert(out.end(), extra.begin(), extra.end());
    }
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), coded.begin(), coded.end());
    return out;
}

inline void Append(Bytes& file, const Bytes& record) {
    file.insert(file.end(), record.begin(), record.end());
}

} // namespace device_test
