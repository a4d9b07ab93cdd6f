// The seed pictures from which tests/data/README makes the tool-written files, as the
// grey levels the readers must give back, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace readers_test {

// seed_grey5x3.pgm
inline const std::vector<std::uint8_t> GREY_5X3 = {0, 64, 128, 192, 255, 255, 0, 0,
                                                   0, 32, 10,  20,  30,  40,  50};

// seed_bits10x3.pbm: a PBM 1 (black) reads as 0, a 0 (white) as 255.
inline const std::vector<std::uint8_t> BITS_10X3 = {
    0,   255, 255, 255, 255, 255, 255, 255, 0,   0,   //
    255, 0,   255, 255, 255, 255, 255, 255, 255, 0,   //
    0,   0,   0,   255, 255, 255, 255, 255, 0,   255, //
};

// seed_grey7x5.pgm: pixel i, counted row by row, is i * 53 mod 256 (35 distinct levels).
inline std::vector<std::uint8_t> Grey7x5() {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 35; ++i) {
        pixels.push_back(static_cast<std::uint8_t>((i * 53) % 256));
    }
    return pixels;
}

} // namespace readers_test
