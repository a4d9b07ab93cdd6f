// Adaptive palettes: the colours of a picture, or of every frame of an animation, are
// counted, and a palette of at most N colours is chosen for them by variance-based
// median cut and k-means refinement in OKLab. Everything is integer arithmetic, so the
// same pictures give the same palette on every platform.
#pragma once

#include "palette.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ColourHistogram {
  public:
    // Counts `count` pixels of red, green, blue. False when memory ran out; the
    // histogram then holds what it had.
    bool Add(const std::uint8_t* rgb, std::size_t count);

    // At most `colours` colours (1 to 256) for every pixel counted: the pictures' own
    // colours when there are no more of them, else the chosen ones. Ordered by OKLab
    // lightness, then a, then b, so that dark colours come first. Empty when nothing was
    // counted.
    Palette Choose(int colours) const;

  private:
    // Pixels are counted in cells of the top 6 bits of each channel, with their OKLab
    // sums, so that a cell's pixels weigh in at their own mean colour.
    struct Cell {
        std::uint64_t count = 0;
        std::int64_t l = 0;
        std::int64_t a = 0;
        std::int64_t b = 0;
    };
    std::vector<Cell> cells_;
    // The distinct colours (0xRRGGBB, sorted) while there are at most 256 of them.
    std::vector<std::uint32_t> distinct_;
    bool manyColours_ = false;
};
