// ByteReader: a read-only file with its own block buffer, so that the decoder can take
// its input one byte at a time without a library call per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class ByteReader {
  public:
    // Opens the file as raw bytes; false when it cannot be opened.
    bool Open(const std::string& path);

    // The next byte, or -1 at the end of the file (or after a read error).
    int ReadByte() {
        if (next_ == filled_ && !Refill()) {
            return -1;
        }
        return buffer_[next_++];
    }

    // Copies up to count bytes to target; returns how many there were.
    std::size_t Read(std::uint8_t* target, std::size_t count);

    // Moves to an absolute offset. Offsets past the end are allowed (reads then return
    // nothing); false only when the offset cannot be reached at all.
    bool SeekTo(std::uint64_t offset);

    // The offset of the next byte that ReadByte would return.
    std::uint64_t Position() const { return bufferStart_ + next_; }

    // Direct access to the buffered bytes for tight loops: the bytes from Current() up
    // to End() are next; SetCurrent hands back how far the loop got (a pointer within
    // that range), and Refill loads the next block once they are used up, returning
    // false at the end of the file.
    const std::uint8_t* Current() const { return buffer_.get() + next_; }
    const std::uint8_t* End() const { return buffer_.get() + filled_; }
    void SetCurrent(const std::uint8_t* position) {
        next_ = static_cast<std::size_t>(position - buffer_.get());
    }
    bool Refill();

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    static constexpr std::size_t BLOCK_SIZE = 64 * 1024;

    std::unique_ptr<std::FILE, FileCloser> file_;
    // BLOCK_SIZE, left uninitialised: only bytes read from the file are ever used.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint64_t bufferStart_ = 0; // file offset of buffer_[0]
    std::size_t next_ = 0;          // index of the next byte in buffer_
    std::size_t filled_ = 0;        // valid bytes in buffer_
};
