// Reading a record's pixel data as another lay-out: the record is copied with its lay-out
// bits replaced and decoded as the one record of a file of its own.
#include "decode_as_layout.h"

#include "byte_reader.h"
#include "decode_record.h"
#include "read_record_header.h"
#include "zentra_format.h"

#include <limits>
#include <new>

std::vector<std::uint8_t> ReadableLayouts(unsigned depth) {
    if (!IsWrittenDepth(depth)) {
        return {};
    }
    std::vector<std::uint8_t> layouts;
    for (unsigned layout = 0; layout <= LAYOUT_BITS; ++layout) {
        const bool planar = (layout & LAYOUT_PLANAR) != 0;
        const bool banded = (layout & 0x02) != 0;
        const bool reversed = (layout & LAYOUT_REVERSED) != 0;
        // Planar planes are packed as at depth 1, so every order and reversal counts
        // there; from depth 8 on packed banded orders are the plain ones, and a byte of
        // one 8-bit pixel has no order to reverse.
        const bool readable = planar ? depth != 1 && IsPlanarDepth(depth)
                                     : !(depth >= 8 && banded) && !(depth == 8 && reversed);
        if (readable) {
            layouts.push_back(static_cast<std::uint8_t>(layout));
        }
    }
    return layouts;
}

DecodeStatus DecodeRecordAsLayout(const ByteSource& source, int index, std::uint8_t layout,
                                  DisplayBitmap& bitmap) {
    bitmap.pixels.reset();
    ByteReader file;
    if (!file.Open(source)) {
        return DecodeStatus::CannotOpen;
    }
    std::uint64_t start = 0;
    RecordHeader header;
    for (int k = 0;; ++k) {
        const std::uint64_t at = start;
        if (index < 0 || !NextRecord(file, start, header)) {
            return DecodeStatus::NoRecord;
        }
        if (k == index) {
            start = at;
            break;
        }
    }
    // The record's bytes after its header, without a delta header; as far as the file
    // holds them.
    const std::uint64_t skipped = (header.layout & RECORD_DELTA) != 0 ? DELTA_HEADER_SIZE : 0;
    const std::uint64_t bodyLength = header.recordLength - RECORD_HEADER_SIZE;
    if (bodyLength < skipped || !file.SeekTo(start + RECORD_HEADER_SIZE + skipped)) {
        return DecodeStatus::NoRecord;
    }
    const std::optional<std::uint64_t> size = file.Size();
    std::uint64_t wanted = bodyLength - skipped;
    if (size && *size > file.Position()) {
        wanted = std::min(wanted, *size - file.Position());
    } else if (size) {
        wanted = 0;
    }
    if (wanted > std::numeric_limits<std::uint32_t>::max() - RECORD_HEADER_SIZE) {
        return DecodeStatus::TooLarge;
    }
    std::vector<std::uint8_t> record;
    try {
        record.resize(RECORD_HEADER_SIZE + static_cast<std::size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return DecodeStatus::OutOfMemory;
    }
    const std::size_t read =
        file.Read(record.data() + RECORD_HEADER_SIZE, record.size() - RECORD_HEADER_SIZE);
    record.resize(RECORD_HEADER_SIZE + read);

    RecordHeader as = header;
    as.layout = static_cast<std::uint8_t>((header.layout & ~(LAYOUT_BITS | RECORD_DELTA)) |
                                          (layout & LAYOUT_BITS));
    as.recordLength = static_cast<std::uint32_t>(record.size());
    const auto head = EncodeRecordHeader(as);
    std::copy(head.begin(), head.end(), record.begin());
    return DecodeRecord(MemorySource(record), 0, false, bitmap);
}
