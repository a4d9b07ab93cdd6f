// The levels of grey records as they are shown, and evenly spaced levels for the channels
// of colour records.
#include "target_levels.h"

int ShownGrey(int level, int depth) {
    const int count = 1 << depth;
    return level >= count - 1 ? 255 : level * 256 / count;
}

TargetLevels ShownGreyLevels(int depth) {
    TargetLevels levels;
    levels.maxLevel = (1 << depth) - 1;
    for (int level = 0; level <= levels.maxLevel; ++level) {
        levels.bounds[static_cast<std::size_t>(level)] = ShownGrey(level, depth);
        levels.stored[static_cast<std::size_t>(level)] =
            static_cast<std::uint8_t>(ShownGrey(level, depth));
    }
    return levels;
}

TargetLevels EvenLevels(int maxLevel) {
    TargetLevels levels;
    levels.maxLevel = maxLevel;
    levels.scale = maxLevel;
    for (int level = 0; level <= maxLevel; ++level) {
        levels.bounds[static_cast<std::size_t>(level)] = 255 * level;
        levels.stored[static_cast<std::size_t>(level)] =
            static_cast<std::uint8_t>(level * 255 / maxLevel);
    }
    return levels;
}
