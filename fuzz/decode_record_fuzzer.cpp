// Fuzz target: the viewer's file walk and record decoding on arbitrary files. Every
// listed record is decoded with build-up on and off, and so is the record after the list
// (a cut-off one, if any); the index beyond that must decode to nothing. A decoded bitmap
// must be exactly stride x height bytes with a stride that holds a row, and its first and
// last rows are also turned into colours.
#include "bitmap_rgb.h"
#include "decode_record.h"
#include "display_bitmap.h"
#include "fuzz_support.h"
#include "read_record_header.h"
#include "zentra_format.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Records decoded per input; later records only add walking, which the walk to the
// index past the list covers.
constexpr std::size_t MAX_DECODED_RECORDS = 12;
// Bitmaps above this size are legal but only slow the search down.
constexpr std::size_t MAX_FUZZ_BITMAP = std::size_t{64} << 10;

std::size_t BitmapBytes(const RecordHeader& header) {
    const std::size_t stride = (RowBytes(header.depth, header.width) + 3) / 4 * 4;
    return stride * header.height;
}

void CheckBitmap(const DisplayBitmap& bitmap) {
    if (!bitmap.pixels) {
        return;
    }
    fuzz::Require(bitmap.width >= 0 && bitmap.height >= 0, "non-negative size");
    fuzz::Require(bitmap.stride % 4 == 0, "stride a multiple of 4");
    fuzz::Require(bitmap.stride >= RowBytes(bitmap.depth, static_cast<std::size_t>(bitmap.width)),
                  "stride holds a row");
    fuzz::Require(bitmap.pixels->size() == static_cast<std::size_t>(bitmap.stride) *
                                               static_cast<std::size_t>(bitmap.height),
                  "pixel block of stride x height bytes");
    if (bitmap.depth == 1 || bitmap.depth == 2 || bitmap.depth == 4 || bitmap.depth == 8 ||
        bitmap.depth == 16 || bitmap.depth == 24) {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.width) * 3);
        // The first and the last row: converting every row of every large bitmap only
        // slows the search down.
        if (bitmap.height > 0) {
            BitmapRowToRgb(bitmap, 0, rgb.data());
            BitmapRowToRgb(bitmap, bitmap.height - 1, rgb.data());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("input.ztr");
    fuzz::WriteFile(path, data, size);

    const std::optional<std::vector<ListedRecord>> records = ListRecords(path);
    fuzz::Require(records.has_value(), "existing file lists");

    // The record after the list, when its header is there: a cut-off record.
    std::vector<RecordHeader> headers;
    std::size_t end = 0;
    for (const ListedRecord& record : *records) {
        headers.push_back(record.header);
        end += record.header.recordLength;
    }
    if (end + RECORD_HEADER_SIZE <= size) {
        std::array<std::uint8_t, RECORD_HEADER_SIZE> bytes{};
        std::copy_n(data + end, RECORD_HEADER_SIZE, bytes.begin());
        headers.push_back(DecodeRecordHeader(bytes));
    }
    std::size_t largest = 0;
    for (const RecordHeader& header : headers) {
        largest = std::max(largest, BitmapBytes(header));
    }

    DisplayBitmap bitmap;
    const std::size_t decoded = std::min(records->size(), MAX_DECODED_RECORDS);
    for (std::size_t index = 0; index < decoded && largest <= MAX_FUZZ_BITMAP; ++index) {
        for (const bool buildUp : {false, true}) {
            DecodeRecord(path, static_cast<int>(index), buildUp, bitmap);
            CheckBitmap(bitmap);
            if (bitmap.pixels && !buildUp) {
                const RecordHeader& header = (*records)[index].header;
                fuzz::Require(bitmap.width == header.width && bitmap.height == header.height &&
                                  bitmap.depth == header.depth,
                              "a record on its own keeps its size and depth");
            }
        }
    }
    // The list ends at a bad header or at a record cut off by the end of the file; such a
    // cut record may still show what it has, but nothing lies beyond it.
    for (const bool buildUp : {false, true}) {
        if (largest <= MAX_FUZZ_BITMAP) {
            DecodeRecord(path, static_cast<int>(records->size()), buildUp, bitmap);
            CheckBitmap(bitmap);
        }
        DecodeRecord(path, static_cast<int>(records->size()) + 1, buildUp, bitmap);
        fuzz::Require(!bitmap.pixels, "no record past the list");
        DecodeRecord(path, -1, buildUp, bitmap);
        fuzz::Require(!bitmap.pixels, "no record at index -1");
    }
    return 0;
}
