// Blending a panel palette's nominal and measured colours, and the rules of matching
// pictures against it.
#include "panel_palette.h"

#include "colourless.h"
#include "oklab.h"
#include "tone.h"

#include <algorithm>

namespace {

std::uint8_t Blend(std::uint8_t nominal, std::uint8_t measured, int saturation) {
    const int moved = (measured - nominal) * saturation;
    const int rounded = moved >= 0 ? (moved + SATURATION_ONE / 2) / SATURATION_ONE
                                   : -((-moved + SATURATION_ONE / 2) / SATURATION_ONE);
    return static_cast<std::uint8_t>(nominal + rounded);
}

} // namespace

Palette MatchedColours(const PanelPalette& palette, int saturation) {
    if (palette.shows.size() != palette.colours.size()) {
        return palette.colours;
    }
    saturation = std::clamp(saturation, 0, SATURATION_ONE);
    Palette matched;
    matched.reserve(palette.colours.size());
    for (std::size_t k = 0; k < palette.colours.size(); ++k) {
        const PaletteColour& nominal = palette.colours[k];
        const PaletteColour& measured = palette.shows[k];
        matched.push_back({Blend(nominal.red, measured.red, saturation),
                           Blend(nominal.green, measured.green, saturation),
                           Blend(nominal.blue, measured.blue, saturation)});
    }
    return matched;
}

PaletteMatch PanelMatch(const PanelPalette& palette, int saturation) {
    PaletteMatch match;
    match.colours = MatchedColours(palette, saturation);
    for (const PaletteColour& c : palette.colours) {
        match.colourless.push_back(IsColourless(SrgbToLab(c.red, c.green, c.blue)));
    }
    match.hueWeight = PANEL_HUE_WEIGHT;
    return match;
}

Palette BorrowedShows(const Palette& given, const PanelPalette& panel) {
    if (panel.shows.size() != panel.colours.size() || given.size() > panel.colours.size() ||
        !std::equal(given.begin(), given.end(), panel.colours.begin())) {
        return {};
    }
    return Palette(panel.shows.begin(), panel.shows.begin() + static_cast<long>(given.size()));
}
