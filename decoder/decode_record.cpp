// Choosing the records of a decoding run: the selected record alone, or with build-up the
// last full frame before a selected delta record and every record up to it, drawn in
// file order onto one bitmap.
#include "decode_record.h"

#include "byte_reader.h"
#include "draw_record.h"
#include "read_record_header.h"
#include "zentra_format.h"

DecodeStatus DecodeRecord(const std::string& fileName, int index, bool buildUp,
                          DisplayBitmap& bitmap) {
    return DecodeRecord(FileSource(fileName), index, buildUp, bitmap);
}

DecodeStatus DecodeRecord(const ByteSource& source, int index, bool buildUp,
                          DisplayBitmap& bitmap) {
    bitmap.pixels.reset();
    if (index < 0) {
        return DecodeStatus::NoRecord;
    }
    ByteReader file;
    if ((!source.inMemory && source.path.empty()) || !file.Open(source)) {
        return DecodeStatus::CannotOpen;
    }
    // Walk to the selected record, noting the last full frame before it.
    RecordHeader header;
    std::uint64_t start = 0;
    std::uint64_t fullFrameStart = 0;
    for (int i = 0; i < index; ++i) {
        const std::uint64_t recordStart = start;
        if (!NextRecord(file, start, header)) {
            return DecodeStatus::NoRecord;
        }
        if ((header.layout & RECORD_DELTA) == 0) {
            fullFrameStart = recordStart;
        }
    }
    const std::uint64_t selectedStart = start;
    if (!NextRecord(file, start, header)) {
        return DecodeStatus::NoRecord;
    }
    const DecodeStatus shown = ShownStatus(header);
    const bool fromFullFrame = buildUp && (header.layout & RECORD_DELTA) != 0;
    // The run steps through the records as the walk does. It ends early, keeping what it
    // has drawn, at a later record whose pixel data the rest of the file cannot hold.
    start = fromFullFrame ? fullFrameStart : selectedStart;
    for (bool first = true; start <= selectedStart; first = false) {
        if (!NextRecord(file, start, header)) {
            return bitmap.pixels ? shown : DecodeStatus::NoRecord;
        }
        if (first) {
            if (const DecodeStatus status = StartRun(bitmap, header);
                status != DecodeStatus::Shown) {
                return status;
            }
        } else if (!RecordCanFollow(file, header)) {
            break;
        }
        DrawRecord(file, header, buildUp, first, bitmap);
    }
    return shown;
}
