// ReadWholeFile: every byte of a file larger than one piece of its reading, in order, and
// each way a file cannot be read told apart.
#include "file_bytes.h"

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
    LargeFile(std::size_t size, const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("zentra_whole_" + name + "_" + std::to_string(::getpid()) + ".bin")) {
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

TEST(WholeFileTest, EveryByteInOrderOrWhyNot) {
    // Three pieces of 64 KiB and an odd remainder, so that a piece read twice or dropped
    // shows.
    constexpr std::size_t FILE_BYTES = 3 * 64 * 1024 + 4099;
    const LargeFile large(FILE_BYTES, "large");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(large.Path(), bytes).Ok());
    ASSERT_EQ(bytes.size(), FILE_BYTES);
    for (std::size_t i = 0; i < FILE_BYTES; i += 997) {
        ASSERT_EQ(bytes[i], ByteAt(i)) << i;
    }
    EXPECT_EQ(bytes.back(), ByteAt(FILE_BYTES - 1));

    const LargeFile empty(0, "empty");
    bytes.assign(3, 7);
    EXPECT_TRUE(ReadWholeFile(empty.Path(), bytes).Ok());
    EXPECT_TRUE(bytes.empty());

    bytes.assign(3, 7);
    const Outcome missing = ReadWholeFile(large.Path() + ".missing", bytes);
    EXPECT_EQ(missing.code, OutcomeCode::CannotOpenForReading);
    EXPECT_EQ(missing.file, large.Path() + ".missing");
    EXPECT_TRUE(missing.reason) << "the system says why";
    EXPECT_TRUE(bytes.empty());
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(ReadWholeFile(folder, bytes), (Outcome{OutcomeCode::IsFolder, {}, folder}));
}

} // namespace
