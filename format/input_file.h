// InputFile: a buffered, read-only byte source over one file opened "rb". The readers
// take their input a byte, a block or a line piece at a time through its own buffer, so
// that no per-byte library call or allocation happens while pixels are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class InputFile {
  public:
    static constexpr std::size_t BUFFER_BYTES = 64 * 1024;

    // Opens the file; false when it cannot be opened for reading.
    bool Open(const std::string& path);

    // The next byte (0-255), or -1 at the end of the file.
    int GetByte() {
        if (next_ == end_ && !Refill()) {
            return -1;
        }
        return buffer_[next_++];
    }

    // The next byte without taking it, or -1 at the end of the file.
    int PeekByte() {
        if (next_ == end_ && !Refill()) {
            return -1;
        }
        return buffer_[next_];
    }

    // Reads up to count bytes into target; returns how many were read (fewer only at the
    // end of the file). Beyond what is buffered, a large read goes straight into target.
    std::size_t Read(std::uint8_t* target, std::size_t count);

    // Passes over count bytes, or up to the end of the file.
    void Skip(std::uint64_t count);

    // Moves to an absolute offset; an offset beyond the end leaves the file at its end.
    void Seek(std::uint64_t offset);

    // Like fgets with a buffer of maxChars + 1: appends to piece up to maxChars
    // characters, stopping after a line feed. Returns false when the file had ended
    // before any character was read.
    bool ReadLinePiece(std::string& piece, std::size_t maxChars);

    std::uint64_t Position() const { return bufferStart_ + next_; }
    std::uint64_t Size() const { return size_; }
    std::uint64_t Remaining() const { return Position() < size_ ? size_ - Position() : 0; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool Refill();
    bool SeekFile(std::uint64_t offset);

    std::unique_ptr<std::FILE, FileCloser> file_;
    // BUFFER_BYTES, left uninitialised: only bytes read from the file are ever used.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t next_ = 0;          // index of the next unread byte in buffer_
    std::size_t end_ = 0;           // bytes of buffer_ that hold file data
    std::uint64_t bufferStart_ = 0; // file offset of buffer_[0]
    std::uint64_t size_ = 0;        // file length, found at opening
};
