// Decoding stays byte for byte what it was: every record of the expected conversion
// outputs in tests/data/expected, decoded with and without build-up, must give the
// bitmap (size, depth, stride, pixels and colour table) recorded in decoded.txt, read
// from the file and from the same bytes in memory.
#include "decode_record.h"
#include "record_walk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path EXPECTED = std::filesystem::path(ZENTRA_TEST_DATA) / "expected";

const char* const FILES[] = {
    "anim.ztr",           "bmp_bits10x3.ztr",  "bmp_grey7x5.ztr",
    "colours_61x37.ztr",  "edge.ztr",          "grey_gradient_75x33.ztr",
    "mono_128x64.ztr",    "palette_67x41.ztr", "palette_anim.ztr",
    "plain_bits10x3.ztr", "plain_grey5x3.ztr", "plain_grey5x3_maxval15.ztr",
    "shapes_84x48.ztr"};

// FNV-1a, 64 bits, over everything the viewer draws from.
class Digest {
  public:
    void Add(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            value_ = (value_ ^ bytes[i]) * 0x100000001b3ull;
        }
    }
    void AddNumber(std::uint32_t number) {
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
            static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
        Add(bytes, 4);
    }
    std::uint64_t Value() const { return value_; }

  private:
    std::uint64_t value_ = 0xcbf29ce484222325ull;
};

// "file index buildup -" for an absent bitmap, else "file index buildup W H D S digest".
std::string DescribeDecoding(const std::string& file, const ByteSource& source, int index,
                             bool buildUp) {
    DisplayBitmap bitmap;
    DecodeRecord(source, index, buildUp, bitmap);
    std::ostringstream line;
    line << file << ' ' << index << ' ' << (buildUp ? 1 : 0);
    if (!bitmap.pixels) {
        line << " -";
        return line.str();
    }
    Digest digest;
    digest.Add(bitmap.pixels->data(), bitmap.pixels->size());
    for (const ColourEntry& colour : bitmap.colours) {
        const std::uint8_t bytes[4] = {colour.blue, colour.green, colour.red, colour.reserved};
        digest.Add(bytes, 4);
    }
    digest.AddNumber(bitmap.info.imageSize);
    digest.AddNumber(bitmap.info.coloursUsed);
    line << ' ' << bitmap.width << ' ' << bitmap.height << ' ' << bitmap.depth << ' '
         << bitmap.stride << ' ' << std::hex << digest.Value();
    return line.str();
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ExpectedDecodeTest, EveryRecordDecodesAsRecorded) {
    std::vector<std::string> actual;
    for (const char* file : FILES) {
        const std::string path = (EXPECTED / file).string();
        const auto records = ListRecords(path);
        ASSERT_TRUE(records.has_value()) << file;
        ASSERT_FALSE(records->empty()) << file;
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        for (int index = 0; index < static_cast<int>(records->size()); ++index) {
            for (const bool buildUp : {false, true}) {
                actual.push_back(DescribeDecoding(file, FileSource(path), index, buildUp));
                EXPECT_EQ(DescribeDecoding(file, MemorySource(bytes), index, buildUp),
                          actual.back());
            }
        }
    }
    const std::vector<std::string> expected = ReadLines(EXPECTED / "decoded.txt");
    // On a difference the whole actual list is left beside the test for inspection.
    if (actual != expected) {
        const auto written = std::filesystem::temp_directory_path() / "decoded.actual.txt";
        std::ofstream out(written);
        for (const std::string& line : actual) {
            out << line << '\n';
        }
        ADD_FAILURE() << "decoded bitmaps differ from decoded.txt; actual list in "
                      << written.string();
    }
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i]);
    }
}

// Each animation ends on its first picture again, so the built-up last frame of every
// sequence is the sequence's full frame, bit for bit.
TEST(ExpectedDecodeTest, BuiltUpLastFrameIsTheFirstPicture) {
    for (const char* file : {"anim.ztr", "edge.ztr", "palette_anim.ztr"}) {
        const std::string path = (EXPECTED / file).string();
        const auto records = ListRecords(path);
        ASSERT_TRUE(records.has_value()) << file;
        int fullFrame = -1;
        int sequences = 0;
        for (int index = 0; index < static_cast<int>(records->size()); ++index) {
            const std::uint8_t layout = (*records)[index].header.layout;
            if ((layout & RECORD_DELTA) == 0) {
                fullFrame = index;
                continue;
            }
            if ((layout & RECORD_LAST_FRAME) == 0) {
                continue;
            }
            ASSERT_GE(fullFrame, 0) << file;
            DisplayBitmap first;
            DisplayBitmap last;
            DecodeRecord(path, fullFrame, false, first);
            DecodeRecord(path, index, true, last);
            ASSERT_TRUE(first.pixels && last.pixels) << file << " record " << index;
            EXPECT_EQ(*last.pixels, *first.pixels) << file << " record " << index;
            ++sequences;
        }
        EXPECT_EQ(sequences, 17) << file; // one per type code of the conversion
    }
}

} // namespace
