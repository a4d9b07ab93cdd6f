// The levels a quantiser brings values to: where each level lies on the scale of the
// values, and what is stored for it. Grey records aim at the greys their levels are shown
// with (the viewer's table), colour channels at evenly spaced levels.
#pragma once

#include <array>
#include <cstdint>

struct TargetLevels {
    int maxLevel = 1; // levels 0 .. maxLevel, at most 255
    // A value v lies at v * scale on the scale of the bounds.
    int scale = 1;
    // Where level L lies on that scale, rising: bounds[0] = 0, bounds[maxLevel] = 255 * scale.
    std::array<int, 256> bounds{};
    // The byte stored for level L; a packer of the record's depth takes the level from its
    // top bits.
    std::array<std::uint8_t, 256> stored{};
};

// The grey that level L of a record of `depth` bits (1 to 8) is shown with, as the viewer,
// ztr render and the device decoder show it: L * 256 / 2^depth, and 255 for the top level.
// Depth 2 gives 0, 64, 128, 255; depth 4 gives 0, 16, 32 ... 224, 255.
int ShownGrey(int level, int depth);

// The shown greys of a record of `depth` bits, each stored as itself.
TargetLevels ShownGreyLevels(int depth);

// maxLevel + 1 evenly spaced levels, level L at value L * 255 / maxLevel, stored as that
// value rounded down (whose top bits are L for maxLevel 2^n - 1).
TargetLevels EvenLevels(int maxLevel);
