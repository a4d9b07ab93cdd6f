// The dense decoder: turns a record's dense-coded pixel data back into its unpacked byte
// stream a piece at a time, for the host decoder, which draws records line by line, and
// as the reference that device decoders and the fuzz targets are checked against.
#pragma once

#include "dense_coding.h"
#include "pixel_stream_shape.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class DenseResult {
    Ok,
    Damaged, // a copy reaches outside its window, a length is out of range, or bytes are
             // missing
};

class DenseDecoder {
  public:
    // The coded bytes must outlive the decoder; shape is the record's.
    DenseDecoder(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                 DenseWindow window, DenseLiterals literals = DenseLiterals::Whole);

    // Fills out with the next bytes of the unpacked stream. False once the coded bytes
    // turn out damaged or end too soon: the bytes from there on (in this and every later
    // read) are 0.
    bool Read(std::span<std::uint8_t> out);

    // How many coded bytes the codes read so far took, and the table when there is one.
    std::size_t Used() const { return next_ + table_.size(); }

  private:
    bool Bit(unsigned& b);
    bool Byte(std::uint8_t& b);
    bool Gamma(std::uint32_t& v);
    bool Literal(std::uint8_t& b);
    bool NextToken();

    std::span<const std::uint8_t> coded_; // the codes: before the table
    std::span<const std::uint8_t> table_; // the literal table, or none
    std::size_t line_;
    DenseWindow window_;
    std::size_t next_ = 0;           // the next coded byte
    std::uint8_t bits_ = 0;          // the current bit byte
    unsigned mask_ = 0;              // its next bit, 0 when used up
    std::vector<std::uint8_t> made_; // the bytes made so far: the whole stream's window
    bool afterLiteral_ = false;
    bool literal_ = false;   // the current token is a literal run
    std::uint32_t left_ = 0; // bytes of the current token still to make
    std::size_t distance_ = 1;
    bool damaged_ = false;
};

// Decodes coded bytes into out, which receives exactly out.size() bytes (the record's
// unpacked size). `used` receives how many coded bytes the codes took; bytes after them
// are not looked at.
DenseResult DecodeDense(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                        DenseWindow window, std::span<std::uint8_t> out, std::size_t& used,
                        DenseLiterals literals = DenseLiterals::Whole);
