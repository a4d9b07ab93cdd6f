// The bits of the dense coding (dense_coding.h) as the encoder writes them: bit bytes
// filled from bit 7 down, whole bytes between them, interlaced Elias-gamma numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Bits of the interlaced Elias-gamma number v >= 1: 2 floor(log2 v) + 1.
inline std::uint32_t GammaBits(std::uint32_t v) {
    std::uint32_t bits = 1;
    for (; v > 1; v >>= 1) {
        bits += 2;
    }
    return bits;
}

class DenseBitWriter {
  public:
    explicit DenseBitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // A bit: into the current bit byte, or a new one placed after the bytes so far when
    // the current one is full.
    void Bit(unsigned b) {
        if (mask_ == 0) {
            at_ = out_.size();
            out_.push_back(0);
            mask_ = 0x80;
        }
        if (b != 0) {
            out_[at_] = static_cast<std::uint8_t>(out_[at_] | mask_);
        }
        mask_ >>= 1;
    }
    void Byte(std::uint8_t b) { out_.push_back(b); }
    // v >= 1: the bits after its leading 1, each after a 0, then a 1.
    void Gamma(std::uint32_t v) {
        unsigned top = 31;
        while (((v >> top) & 1) == 0) {
            --top;
        }
        while (top-- > 0) {
            Bit(0);
            Bit((v >> top) & 1);
        }
        Bit(1);
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t at_ = 0; // the current bit byte
    unsigned mask_ = 0;  // its next bit, 0 when it is full
};
