// Tests of the run-length coder: the coded bytes of runs, the leading-zero rule, buffer
// growth, state reset between records and write-failure reporting.
#include "run_length_buffer.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

using writer_test::Bytes;

namespace {

Bytes Repeat(std::uint8_t b, int count) {
    return Bytes(static_cast<std::size_t>(count), b);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Held(const RunLengthBuffer& buffer) {
    return Bytes(buffer.Data(), buffer.Data() + buffer.Length());
}

// Codes one record's bytes and returns the coded bytes that the buffer holds.
Bytes Code(RunLengthBuffer& buffer, const Bytes& input) {
    BeginPixelData(buffer);
    for (std::uint8_t b : input) {
        PutPixelByte(buffer, b);
    }
    Bytes coded = Held(buffer);
    EndPixelData(buffer, nullptr);
    return coded;
}

struct CodingCase {
    const char* name;
    Bytes input;
    Bytes coded;
};

TEST(RunLengthBufferTest, CodesRunsAndLiterals) {
    const CodingCase cases[] = {
        {"two sevens after a literal", {9, 7, 7}, {9, 7, 7, 0}},
        {"three sevens after a literal", {9, 7, 7, 7}, {9, 7, 7, 1}},
        {"256 sevens", Concat({{9}, Repeat(7, 256)}), {9, 7, 7, 254}},
        {"257 sevens", Concat({{9}, Repeat(7, 257)}), {9, 7, 7, 254, 7}},
        {"258 sevens", Concat({{9}, Repeat(7, 258)}), {9, 7, 7, 254, 7, 7, 0}},
        {"single zero then five", {0, 5}, {0, 0, 5}},
        {"two fives at the start", {5, 5}, {5, 5, 0}},
        {"single zero", {0}, {0, 0}},
        {"two zeros", {0, 0}, {0, 1}},
        {"256 leading zeros", Repeat(0, 256), {0, 254, 0}},
        {"255 leading zeros", Repeat(0, 255), {0, 254}},
        {"5 5 5 9", {5, 5, 5, 9}, {5, 5, 1, 9}},
        {"new run after a run", {9, 7, 7, 8, 8, 8, 8}, {9, 7, 7, 0, 8, 8, 2}},
        {"alternating bytes", {1, 2, 1, 2}, {1, 2, 1, 2}},
    };
    RunLengthBuffer buffer;
    for (const CodingCase& c : cases) {
        EXPECT_EQ(Code(buffer, c.input), c.coded) << c.name;
        EXPECT_EQ(writer_test::DecodeRunLength(c.coded), c.input) << c.name;
    }
}

TEST(RunLengthBufferTest, GrowsByDoublingWhenLengthPlusOneReachesCapacity) {
    RunLengthBuffer buffer;
    BeginPixelData(buffer);
    EXPECT_EQ(buffer.Capacity(), 16);
    for (int i = 1; i <= 15; ++i) {
        PutPixelByte(buffer, static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(buffer.Length(), 15);
    EXPECT_EQ(buffer.Capacity(), 16);
    PutPixelByte(buffer, 16); // appended at length 15
    EXPECT_EQ(buffer.Capacity(), 32);
    for (int i = 17; i <= 32; ++i) {
        PutPixelByte(buffer, static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(buffer.Capacity(), 64);
    const Bytes coded = Held(buffer);
    Bytes expected;
    for (int i = 1; i <= 32; ++i) {
        expected.push_back(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(coded, expected);
    EndPixelData(buffer, nullptr);
}

TEST(RunLengthBufferTest, NextRecordStartsWithFreshState) {
    RunLengthBuffer buffer;
    EXPECT_EQ(Code(buffer, {9, 7, 7, 7}), (Bytes{9, 7, 7, 1}));
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Capacity(), 0);
    EXPECT_EQ(buffer.Length(), 0);
    // The previous record ended inside a run of sevens; this one must not continue it.
    EXPECT_EQ(Code(buffer, {7, 0}), (Bytes{7, 0}));
    EXPECT_EQ(Code(buffer, {0}), (Bytes{0, 0}));
}

TEST(RunLengthBufferTest, EndWritesCodedBytesOnceAndReportsFailure) {
    writer_test::ScratchFolder folder("rle_end");
    const std::string path = folder.File("coded.bin");
    RunLengthBuffer buffer;
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        BeginPixelData(buffer);
        for (std::uint8_t b : {3, 3, 3, 4}) {
            PutPixelByte(buffer, b);
        }
        EXPECT_TRUE(EndPixelData(buffer, file));
        BeginPixelData(buffer);
        EXPECT_TRUE(EndPixelData(buffer, file)); // empty pixel data writes nothing
        std::fclose(file);
    }
    EXPECT_EQ(writer_test::ReadWholeFile(path), (Bytes{3, 3, 1, 4}));

    std::FILE* readOnly = std::fopen(path.c_str(), "rb");
    ASSERT_NE(readOnly, nullptr);
    BeginPixelData(buffer);
    PutPixelByte(buffer, 1);
    EXPECT_FALSE(EndPixelData(buffer, readOnly));
    std::fclose(readOnly);
    EXPECT_EQ(buffer.Data(), nullptr);
}

// Running out of memory at the first block or at a later doubling keeps the coder going
// without writing outside its block; the record then ends unwritten and says why, and the
// next record with memory to spare codes normally again.
TEST(RunLengthBufferTest, OutOfMemoryIsRememberedAndNothingIsWritten) {
    writer_test::ScratchFolder folder("rle_memory");
    const std::string path = folder.File("coded.bin");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const struct {
        const char* name;
        CoderAllocator allocate;
        bool fails;
    } cases[] = {
        {"no first block", writer_test::AllocateUpTo<8>, true},
        {"no second block", writer_test::AllocateUpTo<16>, true},
        {"no fourth block", writer_test::AllocateUpTo<64>, true},
        {"enough", writer_test::AllocateUpTo<4096>, false},
    };
    // Runs of every length and literals: counts are taken back at every block edge.
    Bytes input;
    for (int k = 1; k <= 40; ++k) {
        const Bytes run = Repeat(static_cast<std::uint8_t>(k % 3), k);
        input.insert(input.end(), run.begin(), run.end());
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunLengthBuffer buffer(c.allocate);
        BeginPixelData(buffer);
        for (std::uint8_t b : input) {
            PutPixelByte(buffer, b);
        }
        EXPECT_EQ(buffer.OutOfMemory(), c.fails);
        EXPECT_EQ(EndPixelData(buffer, file), !c.fails);
        EXPECT_EQ(buffer.OutOfMemory(), c.fails);
        std::fflush(file);
        EXPECT_EQ(writer_test::ReadWholeFile(path).empty(), c.fails);
        if (c.fails) {
            BeginPixelData(buffer); // a small record fits the 16 bytes the allocator gives
            EXPECT_EQ(buffer.OutOfMemory(), c.allocate == writer_test::AllocateUpTo<8>);
        }
    }
    std::fclose(file);
    EXPECT_EQ(writer_test::DecodeRunLength(writer_test::ReadWholeFile(path)), input);
}

} // namespace
