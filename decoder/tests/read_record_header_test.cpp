// Reading a record header: its fields, the coding the depth byte carries, and the headers
// refused (short, a wrong signature, a length below the header's).
#include "read_record_header.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(ReadRecordHeaderTest, ReadsFieldsAndStandsAfterTheHeader) {
    const Bytes record = MakeRecord(FilledRecipe(13, 3, 0x95));
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
// the whole stream and the depth in bits 0-2 (its complement with a literal table).
TEST(ReadRecordHeaderTest, TheDepthByteCarriesTheCoding) {
    const struct {
        std::uint8_t layoutByte, depthByte;
        std::uint8_t layout, depth;
        PixelCoding coding;
        bool whole = false;
        bool table = false;
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
        {0x00, 0xA7, 0x00, 7, PixelCoding::Dense}, // a depth without a dense form
        {0x00, 0xA0, 0x00, 0, PixelCoding::Dense},
        // Two of bits 0-2 set: the complement of the depth, with a literal table.
        {0x06, 0xA6, 0x06, 1, PixelCoding::Dense, false, true},
        {0x08, 0xBD, 0x48, 2, PixelCoding::Dense, true, true},
        {0x00, 0xA3, 0x00, 4, PixelCoding::Dense, false, true},
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
        EXPECT_EQ(header.literalTable, c.table);
        if (c.layoutByte != 0x44) {
            EXPECT_EQ(EncodeRecordHeader(header), bytes) << "the byte form comes back";
        }
    }
}

TEST(ReadRecordHeaderTest, RejectsShortSignatureAndLength) {
    const Bytes good = MakeRecord(FilledRecipe(9, 2));
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

} // namespace

// A reader from before takes the complement of a table record's depth as its depth, and a
// palette of that depth when there is one: 192 bytes at depth 1, 96 at 2, 24 at 4.
TEST(ReadRecordHeaderTest, TableRecordsHoldThePaletteOlderReadersTake) {
    const struct {
        std::uint8_t depth;
        bool palette;
        std::size_t coded;
        bool enough;
    } cases[] = {
        {1, true, 185, false}, {1, true, 186, true}, {1, false, 0, true},
        {2, true, 83, false},  {2, true, 84, true},  {4, true, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.coded);
        EXPECT_EQ(TableRecordLongEnough(c.depth, c.palette, c.coded), c.enough);
    }
}
