// Walking a file's records: the list ends at the first rejected header, silently; a record
// whose pixel data the end of the file cuts short is still listed.
#include "read_record_header.h"
#include "record_walk.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace {

RecordRecipe Frame(std::uint16_t width, std::uint16_t height, std::uint8_t layout = 0) {
    RecordRecipe recipe;
    recipe.layout = layout;
    recipe.width = width;
    recipe.height = height;
    recipe.unpacked = Bytes(static_cast<std::size_t>((width + 7) / 8) * height, 0x5A);
    return recipe;
}

RecordRecipe Delta(std::uint16_t width, std::uint16_t height, DeltaHeader delta) {
    RecordRecipe recipe = Frame(width, height, RECORD_DELTA);
    recipe.delta = delta;
    return recipe;
}

std::vector<std::uint16_t> Widths(const std::vector<ListedRecord>& records) {
    std::vector<std::uint16_t> widths;
    for (const ListedRecord& r : records) {
        widths.push_back(r.header.width);
    }
    return widths;
}

TEST(ReadRecordHeaderTest, ReadsFieldsAndStandsAfterTheHeader) {
    const Bytes record = MakeRecord(Frame(13, 3, 0x95));
    ByteReader file;
    ASSERT_TRUE(file.OpenMemory(record));
    RecordHeader header;
    ASSERT_TRUE(ReadRecordHeader(file, header));
    EXPECT_EQ(header.recordLength, record.size());
    EXPECT_EQ(header.layout, 0x95);
    EXPECT_EQ(header.depth, 1);
    EXPECT_EQ(header.width, 13);
    EXPECT_EQ(header.height, 3);
    EXPECT_EQ(file.Position(), 12u);
}

// The depth byte as the tools take it apart: bit 7 the squash coding, and with it bit 6 a
// palette (RECORD_PALETTE stays clear in such a record, so older readers compute none);
// bit 7 and bit 5 without bit 6 the dense coding, with bit 4 a palette, bit 3 copies from
// the whole stream and the depth in bits 0-2.
TEST(ReadRecordHeaderTest, TheDepthByteCarriesTheCoding) {
    const struct {
        std::uint8_t layoutByte, depthByte;
        std::uint8_t layout, depth;
        PixelCoding coding;
        bool whole = false;
    } cases[] = {
        {0x06, 0x01, 0x06, 1, PixelCoding::RunLength},
        {0x40, 0x08, 0x40, 8, PixelCoding::RunLength},
        {0x06, 0x81, 0x06, 1, PixelCoding::Squash},
        {0x20, 0x98, 0x20, 24, PixelCoding::Squash},
        {0x00, 0xC1, 0x40, 1, PixelCoding::Squash},
        {0x44, 0xC4, 0x44, 4, PixelCoding::Squash},       // a palette both ways is one palette
        {0x00, 0x41, 0x00, 0x41, PixelCoding::RunLength}, // bit 6 alone: a depth of 65
        {0x00, 0x80, 0x00, 0, PixelCoding::Squash},
        {0x06, 0xA1, 0x06, 1, PixelCoding::Dense},
        {0x08, 0xB2, 0x48, 2, PixelCoding::Dense},
        {0x20, 0xA9, 0x20, 1, PixelCoding::Dense, true},
        {0x00, 0xBC, 0x40, 4, PixelCoding::Dense, true},
        {0x00, 0xA3, 0x00, 3, PixelCoding::Dense},   // a depth without a dense form
        {0x00, 0xE1, 0x40, 33, PixelCoding::Squash}, // bits 6 and 5: a squash palette
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.depthByte));
        std::array<std::uint8_t, RECORD_HEADER_SIZE> bytes = {
            12, 0, 0, 0, 0x02, 0xA2, c.layoutByte, c.depthByte, 3, 0, 2, 0};
        const RecordHeader header = DecodeRecordHeader(bytes);
        EXPECT_EQ(header.layout, c.layout);
        EXPECT_EQ(header.depth, c.depth);
        EXPECT_EQ(header.coding, c.coding);
        EXPECT_EQ(header.wholeStream, c.whole);
        if (c.layoutByte != 0x44) {
            EXPECT_EQ(EncodeRecordHeader(header), bytes) << "the byte form comes back";
        }
    }
}

TEST(ReadRecordHeaderTest, RejectsShortSignatureAndLength) {
    const Bytes good = MakeRecord(Frame(9, 2));
    Bytes badSignature = good;
    badSignature[5] = 0xA3;
    Bytes swappedSignature = good;
    std::swap(swappedSignature[4], swappedSignature[5]);
    Bytes shortLength = good;
    shortLength[0] = 11;
    const Bytes cases[] = {Bytes(good.begin(), good.begin() + 11), badSignature, swappedSignature,
                           shortLength};
    for (const Bytes& bytes : cases) {
        ByteReader file;
        ASSERT_TRUE(file.OpenMemory(bytes));
        RecordHeader header;
        EXPECT_FALSE(ReadRecordHeader(file, header));
    }
}

TEST(ListRecordsTest, ListsEveryRecordWithItsDeltaHeader) {
    const Bytes file = Concat({MakeRecord(Frame(17, 5)), MakeRecord(Delta(8, 2, {40, 8, 3})),
                               MakeRecord(Delta(0, 0, {40, 0, 0})), MakeRecord(Frame(3, 11))});
    const auto records = ListRecords(MemorySource(file));
    ASSERT_TRUE(records.has_value());
    EXPECT_EQ(Widths(*records), (std::vector<std::uint16_t>{17, 8, 0, 3}));
    EXPECT_EQ((*records)[1].delta.delay, 40);
    EXPECT_EQ((*records)[1].delta.dx, 8);
    EXPECT_EQ((*records)[1].delta.dy, 3);
    EXPECT_EQ((*records)[3].header.height, 11);
}

TEST(ListRecordsTest, EndsAtTheFirstRejectedHeader) {
    const Bytes a = MakeRecord(Frame(17, 5));
    const Bytes b = MakeRecord(Frame(6, 4));
    Bytes damaged = MakeRecord(Frame(30, 1));
    damaged[4] = 0x03;
    Bytes looping = MakeRecord(Frame(30, 1));
    looping[0] = 0; // a zero length would lead back onto the same header
    looping[1] = looping[2] = looping[3] = 0;
    const struct {
        Bytes file;
        std::vector<std::uint16_t> widths;
    } cases[] = {
        {Concat({a, b, damaged, a}), {17, 6}},
        {Concat({a, b, looping, a}), {17, 6}},
        {Concat({a, Bytes{1, 2, 3, 4, 5}}), {17}},
        {Concat({a, b, Bytes(b.begin(), b.begin() + 11)}), {17, 6}},
        // Cut records: the header is whole, the pixel data is not.
        {Concat({a, b, Bytes(b.begin(), b.begin() + 12)}), {17, 6, 6}},
        {Concat({a, b, Bytes(b.begin(), b.end() - 1)}), {17, 6, 6}},
        {Bytes(a.begin(), a.end() - 1), {17}},
        {Bytes{}, {}},
    };
    for (const auto& c : cases) {
        const auto records = ListRecords(MemorySource(c.file));
        ASSERT_TRUE(records.has_value());
        EXPECT_EQ(Widths(*records), c.widths);
    }
}

TEST(ListRecordsTest, MissingFileIsNothing) {
    const auto missing = std::filesystem::temp_directory_path() / "zentra_no_such_file.ztr";
    EXPECT_FALSE(ListRecords(missing.string()).has_value());
    EXPECT_FALSE(ListRecords(std::string()).has_value());
}

} // namespace
