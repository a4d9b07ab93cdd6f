// The squash decoder: turns a record's squash-coded pixel data back into its unpacked
// byte stream a piece at a time, for the host decoder, which draws records line by line,
// and as the reference that the device library and the fuzz targets are checked against.
#pragma once

#include "pixel_stream_shape.h"
#include "squash_coding.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

enum class SquashResult {
    Ok,
    Damaged, // a token reaches outside the window, or the coded bytes are damaged or cut
};

class SquashDecoder {
  public:
    // The coded bytes must outlive the decoder; shape is the record's.
    SquashDecoder(std::span<const std::uint8_t> coded, const PixelStreamShape& shape);

    // Fills out with the next bytes of the unpacked stream. False once the coded bytes
    // turn out damaged or end too soon: the bytes from there on (in this and every
    // later read) are 0.
    bool Read(std::span<std::uint8_t> out);

    // How many coded bytes the tokens read so far took.
    std::size_t Used() const { return next_; }

  private:
    enum class Kind : std::uint8_t { Copy, Verbatim, Delta };

    bool Byte(std::uint8_t& b);
    bool NextToken();
    bool NextCode();
    // The unpacked byte `back` bytes (1 to 512) before the next one; 0 before the start.
    std::uint8_t Back(std::size_t back) const {
        return window_[(made_ - back) % SQUASH_WINDOW_BYTES];
    }

    std::span<const std::uint8_t> coded_;
    PixelStreamShape shape_;
    std::size_t next_ = 0;      // the next coded byte
    std::size_t made_ = 0;      // unpacked bytes made so far
    std::size_t lineBytes_ = 0; // the line above, or 0 when it lies beyond the window
    Kind kind_ = Kind::Copy;
    std::size_t left_ = 0;     // bytes of the current token still to make
    std::size_t distance_ = 0; // R, in bytes
    std::array<std::uint8_t, SQUASH_WINDOW_BYTES> window_{};
    std::array<std::uint8_t, 3> code_{}; // the bytes of the current delta code
    std::size_t codeAt_ = 0;
    std::size_t codeEnd_ = 0;
    bool damaged_ = false;
};

// Decodes coded bytes into out, which receives exactly out.size() bytes (the record's
// unpacked size, a multiple of unitBytes). `used` receives how many coded bytes the
// tokens took; bytes after them are not looked at.
SquashResult DecodeSquash(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                          std::span<std::uint8_t> out, std::size_t& used);
