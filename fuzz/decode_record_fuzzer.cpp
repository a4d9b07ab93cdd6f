// Fuzz target: the viewer's file walk and record decoding on arbitrary bytes, read from
// memory. Every listed record is decoded with build-up on and off and must be found; the
// index past the list and index -1 must decode to nothing. A decoded bitmap must be
// exactly stride x height bytes with a stride that holds a row, its presence must agree
// with the reported result, and its first and last rows are also turned into colours.
// The frame player, stepped through the records and played over them, must show every
// record exactly as DecodeRecord with build-up does.
#include "bitmap_rgb.h"
#include "decode_record.h"
#include "display_bitmap.h"
#include "frame_player.h"
#include "fuzz_support.h"
#include "play_sequence.h"
#include "record_walk.h"
#include "zentra_format.h"

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

void CheckBitmap(DecodeStatus status, const DisplayBitmap& bitmap) {
    const bool leavesPixels = status == DecodeStatus::Shown || status == DecodeStatus::Planar ||
                              status == DecodeStatus::DepthNotShown;
    fuzz::Require(bitmap.pixels.has_value() == leavesPixels, "pixels exactly when shown");
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

bool SameColours(const DisplayBitmap& a, const DisplayBitmap& b) {
    return std::equal(a.colours.begin(), a.colours.end(), b.colours.begin(),
                      [](const ColourEntry& x, const ColourEntry& y) {
                          return x.blue == y.blue && x.green == y.green && x.red == y.red;
                      });
}

// The player's frame against DecodeRecord(buildUp = true) of the record it shows.
void CheckPlayedFrame(const ByteSource& source, const FramePlayer& player, DecodeStatus status) {
    DisplayBitmap want;
    const DecodeStatus wantStatus = DecodeRecord(source, player.Index(), true, want);
    fuzz::Require(status == wantStatus, "the player's status is DecodeRecord's");
    const DisplayBitmap& got = player.Frame();
    fuzz::Require(got.pixels.has_value() == want.pixels.has_value(),
                  "the player leaves pixels when DecodeRecord does");
    if (want.pixels) {
        fuzz::Require(got.width == want.width && got.height == want.height &&
                          got.depth == want.depth && got.stride == want.stride &&
                          got.info.compression == want.info.compression &&
                          got.info.coloursUsed == want.info.coloursUsed,
                      "the player's frame has DecodeRecord's size and form");
        fuzz::Require(*got.pixels == *want.pixels, "the player's pixels are DecodeRecord's");
        fuzz::Require(SameColours(got, want), "the player's colours are DecodeRecord's");
    }
}

// Steps through the first records in file order, then plays on for as many frames.
void CheckPlayer(const ByteSource& source, const std::vector<ListedRecord>& records,
                 std::size_t decoded) {
    FramePlayer player;
    fuzz::Require(player.Open(source), "bytes in memory open");
    fuzz::Require(player.Records().size() == records.size(), "the player lists every record");
    for (std::size_t index = 0; index < decoded; ++index) {
        CheckPlayedFrame(source, player, player.Show(static_cast<int>(index)));
    }
    for (std::size_t frame = 0; frame < decoded; ++frame) {
        const int next = NextPlayedRecord(records, player.Index());
        const DecodeStatus status = player.ShowNext();
        fuzz::Require(player.Index() == next, "the player plays in NextPlayedRecord's order");
        CheckPlayedFrame(source, player, status);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSource source = MemorySource({data, size});
    const std::optional<std::vector<ListedRecord>> records = ListRecords(source);
    fuzz::Require(records.has_value(), "bytes in memory list");

    std::size_t largest = 0;
    for (const ListedRecord& record : *records) {
        largest = std::max(largest, BitmapBytes(record.header));
    }

    DisplayBitmap bitmap;
    const std::size_t decoded = std::min(records->size(), MAX_DECODED_RECORDS);
    for (std::size_t index = 0; index < decoded && largest <= MAX_FUZZ_BITMAP; ++index) {
        for (const bool buildUp : {false, true}) {
            const DecodeStatus status =
                DecodeRecord(source, static_cast<int>(index), buildUp, bitmap);
            fuzz::Require(status != DecodeStatus::NoRecord && status != DecodeStatus::CannotOpen,
                          "a listed record is found");
            CheckBitmap(status, bitmap);
            if (bitmap.pixels && !buildUp) {
                const RecordHeader& header = (*records)[index].header;
                fuzz::Require(bitmap.width == header.width && bitmap.height == header.height &&
                                  bitmap.depth == header.depth,
                              "a record on its own keeps its size and depth");
            }
        }
    }
    if (largest <= MAX_FUZZ_BITMAP) {
        CheckPlayer(source, *records, decoded);
    }
    // The list ends only at a rejected header: nothing lies beyond it.
    for (const bool buildUp : {false, true}) {
        fuzz::Require(DecodeRecord(source, static_cast<int>(records->size()), buildUp, bitmap) ==
                          DecodeStatus::NoRecord,
                      "no record past the list");
        CheckBitmap(DecodeStatus::NoRecord, bitmap);
        fuzz::Require(DecodeRecord(source, -1, buildUp, bitmap) == DecodeStatus::NoRecord,
                      "no record at index -1");
        CheckBitmap(DecodeStatus::NoRecord, bitmap);
    }
    return 0;
}
