// A converted file cut at every byte offset: the walk lists every record whose header is
// whole in what is left, the whole records decode (alone and built up) to the same bitmap
// as in the whole file, the cut record shows what it has at its full size, and nothing
// lies past it.
#include "convert_images.h"
#include "decode_record.h"
#include "record_walk.h"
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

Decoded Decode(const Bytes& file, int index, bool buildUp) {
    DisplayBitmap bitmap;
    DecodeRecord(MemorySource(file), index, buildUp, bitmap);
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

TEST(TruncationTest, EveryCutListsTheRecordsWithWholeHeadersAndDecodesThem) {
    TempFolder folder;
    const int width = 19;
    const int height = 11;
    std::vector<std::string> pictures;
    for (int frame = 0; frame < 3; ++frame) {
        pictures.push_back(
            folder.Write("anim" + std::to_string(frame) + ".pgm", PgmFrame(width, height, frame)));
    }
    pictures.push_back(pictures.front());
    const Outcome converted = WritePicturesAsFrames(
        pictures,
        {MakeTypeCode(0x06, 1), MakeTypeCode(0x01, 8), MakeTypeCode(0x10, 1), MakeTypeCode(0x03, 1),
         MakeTypeCode(0x00, 8)},
        120, ConversionContext{MessageSink{[](void*, const char*) {}, nullptr}});
    ASSERT_EQ(converted, Outcome{});
    const Bytes whole = ReadAll((folder.Path() / "anim0.ztr").string());

    const auto all = ListRecords(MemorySource(whole));
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 20u);
    std::vector<std::size_t> starts; // offset of each record
    std::size_t end = 0;
    for (const ListedRecord& record : *all) {
        starts.push_back(end);
        end += record.header.recordLength;
    }
    ASSERT_EQ(end, whole.size());
    starts.push_back(end);
    std::vector<Decoded> alone;
    std::vector<Decoded> builtUp;
    for (int index = 0; index < 20; ++index) {
        alone.push_back(Decode(whole, index, false));
        builtUp.push_back(Decode(whole, index, true));
        ASSERT_TRUE(alone.back().present && builtUp.back().present) << index;
    }

    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes file(whole.begin(), whole.begin() + static_cast<long>(cut));
        std::size_t headers = 0; // records whose header is whole
        while (headers < all->size() && starts[headers] + RECORD_HEADER_SIZE <= cut) {
            ++headers;
        }
        const auto listed = ListRecords(MemorySource(file));
        ASSERT_TRUE(listed.has_value()) << "cut " << cut;
        ASSERT_EQ(listed->size(), headers) << "cut " << cut;
        for (std::size_t i = 0; i < headers; ++i) {
            // A delta header that the cut shortens reads its missing bytes as 0.
            ListedRecord want = (*all)[i];
            if (starts[i] + RECORD_HEADER_SIZE + DELTA_HEADER_SIZE > cut) {
                want.delta = (*listed)[i].delta;
            }
            EXPECT_TRUE(SameRecord((*listed)[i], want)) << "cut " << cut << " record " << i;
        }
        // The last whole record (the one the cut data follows, or every whole one where
        // the cut falls between records) decodes as in the whole file.
        const std::size_t wholeRecords = starts[headers] <= cut ? headers : headers - 1;
        const bool atBoundary = starts[wholeRecords] == cut;
        for (std::size_t i = atBoundary || wholeRecords == 0 ? 0 : wholeRecords - 1;
             i < wholeRecords; ++i) {
            const int index = static_cast<int>(i);
            EXPECT_EQ(Decode(file, index, false), alone[i]) << "cut " << cut << " record " << i;
            EXPECT_EQ(Decode(file, index, true), builtUp[i]) << "cut " << cut << " record " << i;
        }
        // The cut record shows what it has at its own size, or built up at the frame's;
        // a record whose header is cut shows nothing, and nothing lies past the list.
        const int cutIndex = static_cast<int>(wholeRecords);
        for (const bool buildUp : {false, true}) {
            const Decoded partial = Decode(file, cutIndex, buildUp);
            const Decoded& full = (buildUp ? builtUp : alone)[wholeRecords];
            EXPECT_EQ(partial.present, headers > wholeRecords) << "cut " << cut;
            if (partial.present) {
                EXPECT_EQ(partial.width, full.width) << "cut " << cut;
                EXPECT_EQ(partial.height, full.height) << "cut " << cut;
                EXPECT_EQ(partial.depth, full.depth) << "cut " << cut;
            }
            EXPECT_FALSE(Decode(file, static_cast<int>(headers), buildUp).present) << "cut " << cut;
        }
    }
}

TEST(TruncationTest, BuildUpStopsAtARecordTheFileCannotHold) {
    // A 5 x 3 full frame, then a delta whose header asks for 65535 x 65535 bytes in
    // column order from a file of a few bytes. The run must stop there, leaving the full
    // frame, instead of spinning on missing bytes.
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
    const Bytes file = Concat({MakeRecord(frame), MakeRecord(huge)});

    const Decoded alone = Decode(file, 0, false);
    ASSERT_TRUE(alone.present);
    EXPECT_EQ(alone.width, 5);
    EXPECT_EQ(Decode(file, 1, true), alone);
    EXPECT_FALSE(Decode(file, 1, false).present);
}

} // namespace
