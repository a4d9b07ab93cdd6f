// IdleOptions: the options of a conversion that cannot change a byte of it, found from the
// options and the display types alone, so that ztr can say so instead of letting the
// user believe they acted.
#pragma once

#include "tone.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct ConversionChoices {
    std::set<std::string> given; // the options on the command line, as "--fit"
    ToneOptions tone;
    bool resizePanel = false;
    bool animation = false;
    std::vector<std::uint32_t> typeCodes;
    bool palettes = false;   // some type's records are mapped to a palette
    bool measured = false;   // some type's palette has the colours its panel shows, measured
    bool codingAuto = false; // --coding auto, which may choose the dense coding
};

// One text per option that has no effect, naming it and why, in a fixed order:
//   --fit        without --resize
//   --threshold  when no type has depth 1 (the only depth it acts on)
//   --dither     when every type has depth 8 or 24 (which keep every level) and no
//                palette is in use (dithering towards a palette acts at every depth)
//   --tone       when every type is a colour type, or when resizing, inverting, another
//                threshold or dithering read colour tables by luminance anyway
//   --delay      without --animation
//   --saturation when no type's palette has measured colours to move towards
//   --window     without --coding auto, or when no type has depth 1, 2 or 4
// Where a threshold or dithering only makes bitmaps with a colour table read by
// luminance for grey records, the text says so. --background is not judged: whether a
// picture has transparency or margins is known only when it is read.
std::vector<std::string> IdleOptions(const ConversionChoices& choices);
