// A converted file cut at every byte offset: the walk lists exactly the records that are
// whole in what is left, each of them decodes (alone and built up) to the same bitmap as
// in the whole file, and the cut record and the index past the list decode without
// touching anything outside the bitmap.
#include "convert_images.h"
#include "decode_record.h"
#include "read_record_header.h"
#include "report_message.h"
#include "test_file.h"
#include "type_code.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// An odd-sized grey picture; `frame` repaints an off-centre block so that the delta
// records of an animation have rectangles away from the origin.
Bytes PgmFrame(int width, int height, int frame) {
    const std::string head =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(head.begin(), head.end());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int value = (x * 29 + y * 71 + x * y * 3) & 0xFF;
            if (frame > 0 && x >= 2 * frame + 3 && x < 2 * frame + 9 && y >= frame &&
                y < frame + 4) {
                value = 255 - value;
            }
            bytes.push_back(static_cast<std::uint8_t>(value));
        }
    }
    return bytes;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Decoded {
    bool present = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t depth = 0;
    Bytes pixels;
    std::vector<std::uint8_t> colours; // blue, green, red of every entry

    bool operator==(const Decoded&) const = default;
};

Decoded Decode(const std::string& path, int index, bool buildUp) {
    DisplayBitmap bitmap;
    DecodeRecord(path, index, buildUp, bitmap);
    Decoded decoded;
    if (!bitmap.pixels) {
        return decoded;
    }
    decoded.present = true;
    decoded.width = bitmap.width;
    decoded.height = bitmap.height;
    decoded.depth = bitmap.depth;
    decoded.pixels = *bitmap.pixels;
    for (const ColourEntry& entry : bitmap.colours) {
        decoded.colours.insert(decoded.colours.end(), {entry.blue, entry.green, entry.red});
    }
    EXPECT_EQ(bitmap.pixels->size(), static_cast<std::size_t>(bitmap.stride) * bitmap.height);
    return decoded;
}

bool SameRecord(const ListedRecord& a, const ListedRecord& b) {
    return a.header.recordLength == b.header.recordLength && a.header.layout == b.header.layout &&
           a.header.depth == b.header.depth && a.header.width == b.header.width &&
           a.header.height == b.header.height && a.delta.delay == b.delta.delay &&
           a.delta.dx == b.delta.dx && a.delta.dy == b.delta.dy;
}

TEST(TruncationTest, EveryCutListsTheWholeRecordsAndDecodesThemUnchanged) {
    TempFolder folder;
    const int width = 19;
    const int height = 11;
    std::vector<std::string> pictures;
    for (int frame = 0; frame < 3; ++frame) {
        pictures.push_back(
            folder.Write("anim" + std::to_string(frame) + ".pgm", PgmFrame(width, height, frame)));
    }
    pictures.push_back(pictures.front());
    const int converted =
        ConvertImages(pictures,
                      {MakeTypeCode(0x06, 1), MakeTypeCode(0x01, 8), MakeTypeCode(0x10, 1),
                       MakeTypeCode(0x03, 1), MakeTypeCode(0x00, 8)},
                      120, ConversionContext{MessageSink{[](void*, const char*) {}, nullptr}});
    ASSERT_EQ(converted, 0);
    const Bytes whole = ReadAll((folder.Path() / "anim0.ztr").string());

    const std::string wholePath = folder.Write("whole.ztr", whole);
    const auto all = ListRecords(wholePath);
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 20u);
    std::vector<std::size_t> ends; // offset just past each record
    std::size_t end = 0;
    for (const ListedRecord& record : *all) {
        end += record.header.recordLength;
        ends.push_back(end);
    }
    ASSERT_EQ(end, whole.size());
    std::vector<Decoded> alone;
    std::vector<Decoded> builtUp;
    for (int index = 0; index < 20; ++index) {
        alone.push_back(Decode(wholePath, index, false));
        builtUp.push_back(Decode(wholePath, index, true));
        ASSERT_TRUE(alone.back().present && builtUp.back().present) << index;
    }

    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const std::string path =
            folder.Write("cut.ztr", Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        std::size_t wholeRecords = 0;
        while (wholeRecords < ends.size() && ends[wholeRecords] <= cut) {
            ++wholeRecords;
        }
        const auto listed = ListRecords(path);
        ASSERT_TRUE(listed.has_value()) << "cut " << cut;
        ASSERT_EQ(listed->size(), wholeRecords) << "cut " << cut;
        for (std::size_t i = 0; i < wholeRecords; ++i) {
            EXPECT_TRUE(SameRecord((*listed)[i], (*all)[i])) << "cut " << cut << " record " << i;
        }
        // Every whole record where the cut falls between records, else the last whole
        // one (the one the cut data follows).
        const bool atBoundary = wholeRecords > 0 && ends[wholeRecords - 1] == cut;
        for (std::size_t i = atBoundary || wholeRecords == 0 ? 0 : wholeRecords - 1;
             i < wholeRecords; ++i) {
            const int index = static_cast<int>(i);
            EXPECT_EQ(Decode(path, index, false), alone[i]) << "cut " << cut << " record " << i;
            EXPECT_EQ(Decode(path, index, true), builtUp[i]) << "cut " << cut << " record " << i;
        }
        // The cut record itself: whatever it shows, it stays within its bitmap (checked in
        // Decode); a cut inside its header shows nothing. Past it there is nothing.
        const std::size_t start = wholeRecords == 0 ? 0 : ends[wholeRecords - 1];
        const int cutIndex = static_cast<int>(wholeRecords);
        for (const bool buildUp : {false, true}) {
            const Decoded partial = Decode(path, cutIndex, buildUp);
            if (cut < start + RECORD_HEADER_SIZE) {
                EXPECT_FALSE(partial.present) << "cut " << cut;
            }
            EXPECT_FALSE(Decode(path, cutIndex + 1, buildUp).present) << "cut " << cut;
        }
    }
}

TEST(TruncationTest, BuildUpStopsAtARecordTheFileCannotHold) {
    // A 5 x 3 full frame, then a delta whose header (read where the frame's data ends)
    // asks for 65535 x 65535 bytes in column order from a file of a few bytes. The run
    // must stop there, leaving the full frame, instead of spinning on missing bytes.
    TempFolder folder;
    RecordRecipe frame;
    frame.layout = ORDER_ROWS;
    frame.depth = 8;
    frame.width = 5;
    frame.height = 3;
    frame.unpacked = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 12, 13, 14, 15};
    RecordRecipe huge;
    huge.layout = ORDER_COLUMNS | RECORD_DELTA;
    huge.depth = 8;
    huge.width = 65535;
    huge.height = 65535;
    huge.delta = {40, 1, 1};
    huge.unpacked = {77, 78, 79};
    const std::string path =
        folder.Write("huge.ztr", Concat({MakeRecord(frame), MakeRecord(huge)}));

    const Decoded alone = Decode(path, 0, false);
    ASSERT_TRUE(alone.present);
    EXPECT_EQ(alone.width, 5);
    EXPECT_EQ(Decode(path, 1, true), alone);
    EXPECT_FALSE(Decode(path, 1, false).present);
}

} // namespace
