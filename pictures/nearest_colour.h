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
    // The colours to search, their positions the indices Find returns. A hue weight above
    // 1 counts the hue part of a difference that many times: the distance is then
    // dL^2 + dC^2 + hueWeight x dH^2 (dH^2 = da^2 + db^2 - dC^2, C the chroma), so that a
    // colour of another hue must lie that much nearer in lightness to be taken. 1 is the
    // plain OKLab distance.
    explicit NearestColour(const std::vector<Lab>& colours, int hueWeight = 1);

    // The index of the colour nearest to `colour`; of several at the same distance, the
    // lowest index. 0 for an empty palette.
    std::size_t Find(const Lab& colour) const { return Find(colour, colour); }

    // The same with the hue part measured against `hueOf` instead: error diffusion looks
    // for the colour nearest to a pixel plus the errors it was handed, while the hue that
    // is to be kept is the pixel's own.
    std::size_t Find(const Lab& colour, const Lab& hueOf) const;

    bool Empty() const { return byLightness_.empty(); }

  private:
    struct Entry {
        Lab colour;
        std::int32_t chroma;
        std::size_t index;
    };
    std::vector<Entry> byLightness_;
    int hueWeight_;
};
