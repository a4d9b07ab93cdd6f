// ByteReader: read-only access to a file with its own block buffer, or to a block of
// memory, so that the decoder can take its input one byte at a time without a library
// call per byte. Both sources go through the same window of bytes (Current() to End()).
#pragma once

#include "byte_source.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

class ByteReader {
  public:
    // Opens the file as raw bytes; false when it cannot be opened.
    bool Open(const std::string& path);

    // Reads from the caller's bytes, which must outlive the reading; always succeeds.
    bool OpenMemory(std::span<const std::uint8_t> bytes);

    // Either of the above, as the source says.
    bool Open(const ByteSource& source);

    // The next byte, or -1 at the end of the data (or after a read error).
    int ReadByte() {
        if (next_ == filled_ && !Refill()) {
            return -1;
        }
        return window_[next_++];
    }

    // Copies up to count bytes to target; returns how many there were.
    std::size_t Read(std::uint8_t* target, std::size_t count);

    // Moves to an absolute offset. Offsets past the end are allowed (reads then return
    // nothing); false only when the offset cannot be reached at all.
    bool SeekTo(std::uint64_t offset) {
        if (offset >= windowStart_ && offset - windowStart_ <= filled_) {
            next_ = static_cast<std::size_t>(offset - windowStart_);
            return true;
        }
        return SeekOutsideWindow(offset);
    }

    // The offset of the next byte that ReadByte would return.
    std::uint64_t Position() const { return windowStart_ + next_; }

    // The number of bytes in the source; nothing when a file's size cannot be found.
    std::optional<std::uint64_t> Size();

    // Direct access to the bytes at hand for tight loops: the bytes from Current() up
    // to End() are next; SetCurrent hands back how far the loop got (a pointer within
    // that range), and Refill brings the next block once they are used up, returning
    // false at the end of the data.
    const std::uint8_t* Current() const { return window_ + next_; }
    const std::uint8_t* End() const { return window_ + filled_; }
    void SetCurrent(const std::uint8_t* position) {
        next_ = static_cast<std::size_t>(position - window_);
    }
    bool Refill();

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    static constexpr std::size_t BLOCK_SIZE = 64 * 1024;

    void Reset();
    bool SeekOutsideWindow(std::uint64_t offset);

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
    // BLOCK_SIZE, left uninitialised: only bytes read from the file are ever used.
    std::unique_ptr<std::uint8_t[]> block_;
    std::span<const std::uint8_t> memory_; // the whole source, when reading memory
    bool inMemory_ = false;
    std::optional<std::uint64_t> size_;
    // The bytes at hand: a file's block, or the part of memory from windowStart_ on.
    const std::uint8_t* window_ = nullptr;
    std::uint64_t windowStart_ = 0; // source offset of window_[0]
    std::size_t next_ = 0;          // index of the next byte in window_
    std::size_t filled_ = 0;        // valid bytes in window_
};
