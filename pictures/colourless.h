// The colour-less rule of palette matching: a pixel whose OKLab chroma lies below a small
// bound is black, white or a grey, and takes only the palette's colour-less entries, so
// that the anti-aliased edges of black text never turn red on a black/white/red panel.
#pragma once

#include "oklab.h"

#include <cstdint>

// Chroma below 0.02 (in OKLab, where sRGB red has 0.26 and a pale skin tone about 0.05):
// what a JPEG's noise leaves of a grey, well below any colour a person names.
inline constexpr std::int32_t COLOURLESS_CHROMA = LAB_ONE / 50;

inline bool IsColourless(const Lab& lab) {
    const std::int64_t a = lab.a;
    const std::int64_t b = lab.b;
    return a * a + b * b < std::int64_t{COLOURLESS_CHROMA} * COLOURLESS_CHROMA;
}
