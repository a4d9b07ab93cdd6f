// Tests of the run-length coder: the coded bytes of runs, the leading-zero rule, buffer
// growth, state reset between records and write-failure reporting.
#include "run_length_buffer.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <climits>
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

// Codes one record's bytes and returns the coded bytes that the buffer holds.
Bytes Code(const Bytes& input) {
    BeginPixelData();
    for (std::uint8_t b : input) {
        PutPixelByte(b);
    }
    Bytes coded(PixelBuffer.data.get(), PixelBuffer.data.get() + PixelBuffer.length);
    EndPixelData(nullptr);
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
    for (const CodingCase& c : cases) {
        EXPECT_EQ(Code(c.input), c.coded) << c.name;
        EXPECT_EQ(writer_test::DecodeRunLength(c.coded), c.input) << c.name;
    }
}

TEST(RunLengthBufferTest, GrowsByDoublingWhenLengthPlusOneReachesCapacity) {
    BeginPixelData();
    EXPECT_EQ(PixelBuffer.capacity, 16);
    for (int i = 1; i <= 15; ++i) {
        PutPixelByte(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(PixelBuffer.length, 15);
    EXPECT_EQ(PixelBuffer.capacity, 16);
    PutPixelByte(16); // appended at length 15
    EXPECT_EQ(PixelBuffer.capacity, 32);
    for (int i = 17; i <= 32; ++i) {
        PutPixelByte(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(PixelBuffer.capacity, 64);
    Bytes coded(PixelBuffer.data.get(), PixelBuffer.data.get() + PixelBuffer.length);
    Bytes expected;
    for (int i = 1; i <= 32; ++i) {
        expected.push_back(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(coded, expected);
    EndPixelData(nullptr);
}

TEST(RunLengthBufferTest, NextRecordStartsWithFreshState) {
    EXPECT_EQ(Code({9, 7, 7, 7}), (Bytes{9, 7, 7, 1}));
    EXPECT_EQ(PixelBuffer.data, nullptr);
    EXPECT_EQ(PixelBuffer.capacity, 0);
    EXPECT_EQ(PixelBuffer.length, 0);
    // The previous record ended inside a run of sevens; this one must not continue it.
    EXPECT_EQ(Code({7, 0}), (Bytes{7, 0}));
    EXPECT_EQ(Code({0}), (Bytes{0, 0}));
}

TEST(RunLengthBufferTest, EndWritesCodedBytesOnceAndReportsFailure) {
    writer_test::ScratchFolder folder("rle_end");
    const std::string path = folder.File("coded.bin");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        BeginPixelData();
        for (std::uint8_t b : {3, 3, 3, 4}) {
            PutPixelByte(b);
        }
        EXPECT_TRUE(EndPixelData(file));
        BeginPixelData();
        EXPECT_TRUE(EndPixelData(file)); // empty pixel data writes nothing
        std::fclose(file);
    }
    EXPECT_EQ(writer_test::ReadWholeFile(path), (Bytes{3, 3, 1, 4}));

    std::FILE* readOnly = std::fopen(path.c_str(), "rb");
    ASSERT_NE(readOnly, nullptr);
    BeginPixelData();
    PutPixelByte(1);
    EXPECT_FALSE(EndPixelData(readOnly));
    std::fclose(readOnly);
    EXPECT_EQ(PixelBuffer.data, nullptr);
}

TEST(RunLengthBufferDeathTest, CapacityThatCannotDoubleEndsTheProgram) {
    EXPECT_EXIT(
        {
            BeginPixelData();
            // Pretend the buffer is nearly full at a capacity whose double overflows int.
            PixelBuffer.capacity = INT_MAX / 2 + 1;
            PixelBuffer.length = PixelBuffer.capacity - 1;
            PutPixelByte(1);
        },
        ::testing::ExitedWithCode(255), "Out of memory!");
}

} // namespace
