// MemoryInput: a read-only byte source over a picture file's bytes in memory, with the
// calls the bitmap and PBM/PGM/PPM readers take their input through (a byte, a block, a
// line piece at a time). Nothing is ever read outside the block.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class MemoryInput {
  public:
    explicit MemoryInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next byte (0-255), or -1 at the end of the block.
    int GetByte() { return next_ < bytes_.size() ? bytes_[next_++] : -1; }

    // The next byte without taking it, or -1 at the end of the block.
    int PeekByte() const { return next_ < bytes_.size() ? bytes_[next_] : -1; }

    // Copies up to count bytes into target; returns how many (fewer only at the end).
    std::size_t Read(std::uint8_t* target, std::size_t count) {
        const std::size_t piece = std::min(count, Remaining());
        std::copy_n(bytes_.data() + next_, piece, target);
        next_ += piece;
        return piece;
    }

    // Passes over count bytes, or up to the end of the block.
    void Skip(std::uint64_t count) {
        next_ += static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
    }

    // Moves to an absolute offset; an offset beyond the end leaves the input at its end.
    void Seek(std::uint64_t offset) {
        next_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    }

    // Like fgets with a buffer of maxChars + 1: appends to piece up to maxChars
    // characters, stopping after a line feed. False when the block had ended before any
    // character was read.
    bool ReadLinePiece(std::string& piece, std::size_t maxChars) {
        std::size_t taken = 0;
        while (taken < maxChars && next_ < bytes_.size()) {
            const char c = static_cast<char>(bytes_[next_++]);
            piece.push_back(c);
            ++taken;
            if (c == '\n') {
                break;
            }
        }
        return taken > 0;
    }

    // The bytes from the current position on.
    const std::uint8_t* Here() const { return bytes_.data() + next_; }

    std::uint64_t Position() const { return next_; }
    std::uint64_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - next_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0; // index of the next unread byte, never past the end
};
