// The run-length decoder against hand-coded byte streams, including the start-of-data
// zero, counts of 254 and 255, and reading past the end of the data; from memory, and
// from a file whose reading crosses the reader's blocks.
#include "test_file.h"
#include "unpack_byte.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

Bytes Unpack(ByteReader& file, std::size_t count) {
    UnpackState state;
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(UnpackByte(file, state));
    }
    return out;
}

Bytes Unpack(const Bytes& coded, std::size_t count) {
    ByteReader file;
    file.OpenMemory(coded);
    return Unpack(file, count);
}

// The same stream through UnpackBytes, in pieces of the given size.
Bytes UnpackInPieces(ByteReader& file, std::size_t count, std::size_t piece) {
    UnpackState state;
    Bytes out(count, 0xEE);
    for (std::size_t i = 0; i < count; i += piece) {
        UnpackBytes(file, state, out.data() + i, std::min(piece, count - i));
    }
    return out;
}

Bytes UnpackInPieces(const Bytes& coded, std::size_t count, std::size_t piece) {
    ByteReader file;
    file.OpenMemory(coded);
    return UnpackInPieces(file, count, piece);
}

Bytes Repeat(std::uint8_t b, std::size_t n) {
    return Bytes(n, b);
}

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct UnpackCase {
    const char* name;
    Bytes coded;
    Bytes expected;
};

TEST(UnpackByteTest, DecodesCodedStreams) {
    const UnpackCase cases[] = {
        {"leading zero takes a count", {0, 3}, {0, 0, 0, 0}},
        {"pair after a literal", {9, 7, 7, 0}, {9, 7, 7}},
        {"pair at the start", {7, 7, 0}, {7, 7}},
        {"run of 257 then literal", {5, 5, 254, 5, 9}, Join(Repeat(5, 257), {9})},
        {"count 255 gives 256", {3, 3, 255, 1}, Join(Repeat(3, 257), {1})},
        {"byte after a count is a literal", {4, 4, 1, 4, 2}, {4, 4, 4, 4, 2}},
        {"single zero at start", {0, 0, 6}, {0, 6}},
        {"literals", {1, 2, 1, 3}, {1, 2, 1, 3}},
    };
    for (const UnpackCase& c : cases) {
        EXPECT_EQ(Unpack(c.coded, c.expected.size()), c.expected) << c.name;
        for (std::size_t piece : {1, 2, 3, 256, 1000}) {
            EXPECT_EQ(UnpackInPieces(c.coded, c.expected.size(), piece), c.expected)
                << c.name << ", pieces of " << piece;
        }
    }
}

TEST(UnpackByteTest, DeliversZeroPastTheEndOfTheFile) {
    EXPECT_EQ(Unpack({8, 6}, 5), (Bytes{8, 6, 0, 0, 0}));
    EXPECT_EQ(Unpack({}, 3), (Bytes{0, 0, 0}));
    // A run whose count byte is missing delivers the byte once, then zeros.
    EXPECT_EQ(Unpack({2, 7, 7}, 4), (Bytes{2, 7, 7, 0}));
    EXPECT_EQ(UnpackInPieces({8, 6}, 5, 3), (Bytes{8, 6, 0, 0, 0}));
    EXPECT_EQ(UnpackInPieces({2, 7, 7}, 6, 4), (Bytes{2, 7, 7, 0, 0, 0}));
}

TEST(UnpackByteTest, CodedStreamsOfTheTestWriterReadBack) {
    Bytes stream = Join(Repeat(0, 300), {1, 1, 2});
    stream = Join(stream, Repeat(2, 600));
    stream = Join(stream, {0, 9, 9, 9});
    EXPECT_EQ(Unpack(CodeRunLength(stream), stream.size()), stream);
}

TEST(UnpackByteTest, LongStreamsCrossTheReadBlock) {
    Bytes stream;
    for (int i = 0; i < 200000; ++i) {
        stream.push_back(static_cast<std::uint8_t>((i * 7 + i / 5) & 0xFF));
    }
    const Bytes coded = CodeRunLength(stream);
    EXPECT_EQ(Unpack(coded, stream.size()), stream);
    EXPECT_EQ(UnpackInPieces(coded, stream.size(), 7777), stream);
    TempFolder folder;
    const std::string path = folder.Write("coded.bin", coded);
    for (std::size_t piece : {std::size_t{1}, std::size_t{7777}}) {
        ByteReader file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_EQ(piece == 1 ? Unpack(file, stream.size())
                             : UnpackInPieces(file, stream.size(), piece),
                  stream);
        EXPECT_LT(file.ReadByte(), 0) << piece;
    }
}

// Seeking and reading the same offsets of a file and of memory, inside the bytes, at
// their end and past it, back and forth across the file's blocks.
TEST(ByteReaderTest, FileAndMemoryReadAlike) {
    Bytes bytes(150001);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    }
    TempFolder folder;
    ByteReader file;
    ASSERT_TRUE(file.Open(folder.Write("bytes.bin", bytes)));
    ByteReader memory;
    ASSERT_TRUE(memory.OpenMemory(bytes));
    EXPECT_EQ(file.Size(), std::optional<std::uint64_t>(bytes.size()));
    EXPECT_EQ(memory.Size(), std::optional<std::uint64_t>(bytes.size()));
    const std::uint64_t offsets[] = {0, 70000, 5, 150000, 150001, 200000, 65535, 149990, 3};
    for (const std::uint64_t offset : offsets) {
        for (ByteReader* reader : {&file, &memory}) {
            const char* which = reader == &file ? "file" : "memory";
            ASSERT_TRUE(reader->SeekTo(offset)) << which << " " << offset;
            EXPECT_EQ(reader->Position(), offset) << which;
            Bytes got(20, 0xEE);
            const std::size_t count = reader->Read(got.data(), got.size());
            const std::size_t want =
                offset < bytes.size() ? std::min<std::size_t>(20, bytes.size() - offset) : 0;
            ASSERT_EQ(count, want) << which << " " << offset;
            EXPECT_TRUE(std::equal(got.begin(), got.begin() + static_cast<long>(count),
                                   bytes.begin() + static_cast<long>(offset)))
                << which << " " << offset;
            EXPECT_EQ(reader->ReadByte() < 0, offset + count >= bytes.size())
                << which << " " << offset;
        }
    }
}

} // namespace
