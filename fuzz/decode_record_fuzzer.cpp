// Fuzz target: the viewer's file walk and record decoding on arbitrary files. Every
// listed record is decoded with build-up on and off; the index just past the list must
// decode to nothing, and a decoded bitmap must be exactly stride x height bytes with a
// stride that holds a row. Each decoded row is also turned into colours.
#include "bitmap_rgb.h"
#include "decode_record.h"
#include "display_bitmap.h"
#include "fuzz_support.h"
#include "read_record_header.h"

#include <algorithm>
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
        for (int top = 0; top < bitmap.height; ++top) {
            BitmapRowToRgb(bitmap, top, rgb.data());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("input.ztr");
    fuzz::WriteFile(path, data, size);

    const std::optional<std::vector<ListedRecord>> records = ListRecords(path);
    fuzz::Require(records.has_value(), "existing file lists");

    DisplayBitmap bitmap;
    std::size_t largest = 0;
    const std::size_t decoded = std::min(records->size(), MAX_DECODED_RECORDS);
    for (std::size_t index = 0; index < decoded; ++index) {
        largest = std::max(largest, BitmapBytes((*records)[index].header));
        if (largest > MAX_FUZZ_BITMAP) {
            break;
        }
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
    for (const bool buildUp : {false, true}) {
        DecodeRecord(path, static_cast<int>(records->size()), buildUp, bitmap);
        fuzz::Require(!bitmap.pixels, "no record past the list");
        DecodeRecord(path, -1, buildUp, bitmap);
        fuzz::Require(!bitmap.pixels, "no record at index -1");
    }
    return 0;
}
