// Shaping a decoded picture for one display target: composited over the target's
// background, turned, resized and fitted, its grey levels or colours brought to what the
// target's records hold (threshold, dithering, palette indices), its rows in the target's
// order. What comes out is ready for a packer; nothing here knows the file format's bytes.
#pragma once

#include "outcome.h"
#include "palette.h"
#include "palette_mapping.h"
#include "source_image.h"
#include "tone.h"

#include <optional>
#include <string>

// A target's palette as shaping uses it: the colours its records carry, and what its
// pictures are matched against.
struct TargetColours {
    Palette palette;
    PaletteMatch match;
};

// Everything that decides the pixels a target's packer receives. Two targets with the same
// shaping take the same pixels, whatever their type codes say beyond it.
struct TargetShaping {
    ToneOptions tone;                       // with the panel's size and background in it
    int depth = 1;                          // of the records: 1 to 8 grey or indices, 16, 24
    bool rowsBottomFirst = false;           // the records' rows from the bottom up
    const TargetColours* colours = nullptr; // mapped to this palette, or null: grey levels
};

bool SameShaping(const TargetShaping& a, const TargetShaping& b);

// What a shaped picture carries besides its pixels: the size it was decoded at, for the
// warning about a picture larger than the panel.
struct ShapedPicture {
    SourceImage picture;
    int readWidth = 0;
    int readHeight = 0;
};

// Shapes the pictures of one sequence in order. Otsu's threshold comes from the first
// picture (its own pixels, not the margins of a fit) and holds for all that follow.
class PictureShaper {
  public:
    explicit PictureShaper(const TargetShaping& shaping) : shaping_(shaping) {}

    // Whether the target needs the pictures' colours (a colour depth or a palette).
    bool NeedsColours() const;

    // `decoded` as the target takes it, into `shaped` (its pixels: the colours at colour
    // depths, else grey levels, or palette indices in their top bits). Fails with
    // OutOfMemory, or InvalidSize (for the picture `name`) when the shaped picture's
    // colours do not cover its size.
    Outcome Shape(const SourceImage& decoded, const std::string& name, ShapedPicture& shaped);

  private:
    TargetShaping shaping_;
    std::optional<int> threshold_;
};
