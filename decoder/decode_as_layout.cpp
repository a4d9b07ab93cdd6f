// Reading a record's pixel data as another lay-out: the record's unpacked stream, as its
// own lay-out and coding give it, becomes the one record of a file of its own under the
// other lay-out, and is decoded there.
#include "decode_as_layout.h"

#include "byte_reader.h"
#include "decode_record.h"
#include "pixel_byte_stream.h"
#include "pixel_stream_shape.h"
#include "read_record_header.h"
#include "run_length_buffer.h"
#include "zentra_format.h"

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

namespace {

// The run-length coding of an unpacked stream, as a writer codes it; nothing when memory
// ran out.
std::optional<std::vector<std::uint8_t>> RunLengthCoded(const std::vector<std::uint8_t>& bytes) {
    RunLengthBuffer buffer;
    BeginPixelData(buffer);
    {
        PixelByteCoder coder(buffer);
        for (const std::uint8_t b : bytes) {
            coder.Put(b);
        }
    }
    std::optional<std::vector<std::uint8_t>> coded;
    if (!buffer.OutOfMemory()) {
        try {
            coded.emplace(buffer.Data(), buffer.Data() + buffer.Length());
        } catch (const std::bad_alloc&) {
            coded.reset();
        }
    }
    EndPixelData(buffer, nullptr);
    return coded;
}

} // namespace

DecodeStatus DecodeRecordAsLayout(const ByteSource& source, int index, std::uint8_t layout,
                                  DisplayBitmap& bitmap) {
    bitmap.pixels.reset();
    ByteReader file;
    if (!file.Open(source)) {
        return DecodeStatus::CannotOpen;
    }
    std::uint64_t next = 0;
    std::uint64_t start = 0;
    RecordHeader header;
    for (int k = 0; k <= index; ++k) {
        start = next;
        if (index < 0 || !NextRecord(file, next, header)) {
            return DecodeStatus::NoRecord;
        }
    }
    if (index < 0) {
        return DecodeStatus::NoRecord;
    }
    const std::optional<PixelStreamShape> shape =
        ShapeOfPixelStream(header.layout & LAYOUT_BITS, header.depth, header.width, header.height);
    if (!shape) {
        return DecodeRecord(source, index, false, bitmap); // says why it is not shown
    }
    if ((header.layout & RECORD_DELTA) != 0) {
        ReadDeltaHeader(file);
    }
    // The palette as it stands, then the unpacked stream that the record's own lay-out
    // and coding give, run-length coded again under the other lay-out.
    std::vector<std::uint8_t> record(RECORD_HEADER_SIZE);
    std::vector<std::uint8_t> unpacked;
    bool palette = (header.layout & RECORD_PALETTE) != 0;
    if (palette && header.depth > 8) {
        // A colour record's palette is passed over when drawn; it is left out here.
        const std::uint64_t size = PaletteSize(header.depth);
        file.SeekTo(size > UINT64_MAX - file.Position() ? UINT64_MAX : file.Position() + size);
        palette = false;
    }
    try {
        if (palette) {
            const auto size = static_cast<std::size_t>(PaletteSize(header.depth));
            record.resize(RECORD_HEADER_SIZE + size);
            const std::size_t read = file.Read(record.data() + RECORD_HEADER_SIZE, size);
            std::fill(record.begin() + static_cast<std::ptrdiff_t>(RECORD_HEADER_SIZE + read),
                      record.end(), std::uint8_t{0});
        }
        unpacked.resize(shape->totalBytes);
    } catch (const std::bad_alloc&) {
        return DecodeStatus::OutOfMemory;
    }
    PixelByteStream stream(file, header, start + header.recordLength);
    stream.Take(unpacked.data(), unpacked.size());
    const std::optional<std::vector<std::uint8_t>> coded = RunLengthCoded(unpacked);
    if (!coded) {
        return DecodeStatus::OutOfMemory;
    }
    if (coded->size() > std::numeric_limits<std::uint32_t>::max() - record.size()) {
        return DecodeStatus::TooLarge;
    }
    try {
        record.insert(record.end(), coded->begin(), coded->end());
    } catch (const std::bad_alloc&) {
        return DecodeStatus::OutOfMemory;
    }
    RecordHeader as = header;
    as.layout =
        static_cast<std::uint8_t>((header.layout & ~(LAYOUT_BITS | RECORD_DELTA | RECORD_PALETTE)) |
                                  (layout & LAYOUT_BITS) | (palette ? RECORD_PALETTE : 0));
    as.coding = PixelCoding::RunLength;
    as.recordLength = static_cast<std::uint32_t>(record.size());
    const auto head = EncodeRecordHeader(as);
    std::copy(head.begin(), head.end(), record.begin());
    return DecodeRecord(MemorySource(record), 0, false, bitmap);
}
