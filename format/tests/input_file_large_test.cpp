// InputFile on files larger than its buffer: a read that outlasts the buffered bytes goes
// straight from the file into the caller's block, and the position, later byte reads,
// seeks and the end of the file must all stay in step with that.
#include "input_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#else
#include <process.h>
#endif

namespace {

// Byte i of the test file: varied, so that a block read from the wrong offset shows.
std::uint8_t ByteAt(std::size_t i) {
    return static_cast<std::uint8_t>((i * 131 + i / 251) & 0xFF);
}

class LargeFile {
  public:
    explicit LargeFile(std::size_t size)
        : path_(std::filesystem::temp_directory_path() /
                ("zentra_input_large_" + std::to_string(::getpid()) + ".bin")) {
        std::vector<char> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(ByteAt(i));
        }
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<long>(size));
    }
    ~LargeFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    std::string Path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

// 3 buffers and a bit, an odd size, so that no read ends on a buffer boundary.
constexpr std::size_t FILE_BYTES = 3 * InputFile::BUFFER_BYTES + 4099;

TEST(InputFileLargeTest, BlockReadsBeyondTheBufferKeepEveryByteAndThePosition) {
    LargeFile large(FILE_BYTES);
    InputFile file;
    ASSERT_TRUE(file.Open(large.Path()));
    EXPECT_EQ(file.Size(), FILE_BYTES);

    // A few single bytes fill the buffer; then a block far longer than what is left.
    for (std::size_t i = 0; i < 13; ++i) {
        ASSERT_EQ(file.GetByte(), ByteAt(i)) << i;
    }
    struct Step {
        std::size_t count;
    };
    const Step steps[] = {{InputFile::BUFFER_BYTES + 5000}, {7}, {9000}, {InputFile::BUFFER_BYTES}};
    std::size_t offset = 13;
    for (const Step& step : steps) {
        std::vector<std::uint8_t> block(step.count);
        ASSERT_EQ(file.Read(block.data(), block.size()), step.count) << "at " << offset;
        for (std::size_t i = 0; i < step.count; ++i) {
            ASSERT_EQ(block[i], ByteAt(offset + i)) << "byte " << offset + i;
        }
        offset += step.count;
        EXPECT_EQ(file.Position(), offset);
        EXPECT_EQ(file.PeekByte(), ByteAt(offset));
        EXPECT_EQ(file.GetByte(), ByteAt(offset));
        ++offset;
    }
    EXPECT_EQ(file.Remaining(), FILE_BYTES - offset);

    // Past the end a block read returns what there was; then the file is at its end.
    std::vector<std::uint8_t> rest(FILE_BYTES);
    EXPECT_EQ(file.Read(rest.data(), rest.size()), FILE_BYTES - offset);
    EXPECT_EQ(rest[FILE_BYTES - offset - 1], ByteAt(FILE_BYTES - 1));
    EXPECT_EQ(file.GetByte(), -1);
    EXPECT_EQ(file.Position(), FILE_BYTES);

    // A seek back lands on the right byte after reads that bypassed the buffer.
    file.Seek(InputFile::BUFFER_BYTES + 17);
    EXPECT_EQ(file.GetByte(), ByteAt(InputFile::BUFFER_BYTES + 17));
    file.Skip(2 * InputFile::BUFFER_BYTES);
    EXPECT_EQ(file.GetByte(), ByteAt(3 * InputFile::BUFFER_BYTES + 18));
}

TEST(InputFileLargeTest, WholeFileInOneRead) {
    LargeFile large(FILE_BYTES);
    InputFile file;
    ASSERT_TRUE(file.Open(large.Path()));
    std::vector<std::uint8_t> all(FILE_BYTES + 10);
    ASSERT_EQ(file.Read(all.data(), all.size()), FILE_BYTES);
    for (std::size_t i = 0; i < FILE_BYTES; ++i) {
        ASSERT_EQ(all[i], ByteAt(i)) << i;
    }
    EXPECT_EQ(file.Remaining(), 0u);
}

} // namespace
