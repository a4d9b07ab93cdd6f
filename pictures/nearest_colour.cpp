// Nearest-colour search by lightness order: since the distance is at least the squared
// lightness difference, the search walks outwards from the colour's lightness and stops
// on each side once that difference alone exceeds the best distance.
#include "nearest_colour.h"

#include <algorithm>

NearestColour::NearestColour(const std::vector<Lab>& colours, int hueWeight)
    : hueWeight_(std::max(hueWeight, 1)) {
    byLightness_.reserve(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        byLightness_.push_back({colours[i], Chroma(colours[i]), i});
    }
    std::sort(byLightness_.begin(), byLightness_.end(), [](const Entry& x, const Entry& y) {
        return x.colour.l != y.colour.l ? x.colour.l < y.colour.l : x.index < y.index;
    });
}

std::size_t NearestColour::Find(const Lab& colour, const Lab& hueOf) const {
    if (byLightness_.empty()) {
        return 0;
    }
    const std::int32_t chroma = hueWeight_ > 1 ? Chroma(hueOf) : 0;
    const auto start =
        std::lower_bound(byLightness_.begin(), byLightness_.end(), colour.l,
                         [](const Entry& entry, std::int32_t l) { return entry.colour.l < l; });
    std::int64_t best = INT64_MAX;
    std::size_t bestIndex = 0;
    auto consider = [&](const Entry& entry) {
        std::int64_t distance = LabDistance2(entry.colour, colour);
        if (hueWeight_ > 1) {
            const std::int64_t da = entry.colour.a - hueOf.a;
            const std::int64_t db = entry.colour.b - hueOf.b;
            const std::int64_t dc = entry.chroma - chroma;
            const std::int64_t hue = std::max<std::int64_t>(da * da + db * db - dc * dc, 0);
            distance += (hueWeight_ - 1) * hue;
        }
        if (distance < best || (distance == best && entry.index < bestIndex)) {
            best = distance;
            bestIndex = entry.index;
        }
    };
    auto lightnessGap = [&](const Entry& entry) {
        const std::int64_t dl = entry.colour.l - colour.l;
        return dl * dl;
    };
    // Upwards from the first colour at least as light, downwards from the one before; a
    // gap equal to the best distance can still tie, so only a larger one stops.
    for (auto up = start; up != byLightness_.end() && lightnessGap(*up) <= best; ++up) {
        consider(*up);
    }
    for (auto down = start; down != byLightness_.begin();) {
        --down;
        if (lightnessGap(*down) > best) {
            break;
        }
        consider(*down);
    }
    return bestIndex;
}
