// The nearest colour of a palette to a given colour in OKLab: the palette kept sorted by
// lightness, so that a search looks only at the colours whose lightness alone is not
// already farther than the best found.
#pragma once

#include "oklab.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class NearestColour {
  public:
    // The colours to search, their positions the indices Find returns.
    explicit NearestColour(const std::vector<Lab>& colours);

    // The index of the colour nearest to `colour` (squared OKLab distance); of several
    // at the same distance, the lowest index. 0 for an empty palette.
    std::size_t Find(const Lab& colour) const;

  private:
    struct Entry {
        Lab colour;
        std::size_t index;
    };
    std::vector<Entry> byLightness_;
};
