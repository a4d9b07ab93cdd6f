// A panel's palette: for each index the nominal colour that records carry and, where it
// has been measured, the colour the panel really shows for it (e-paper inks are far
// darker and duller than their names). Pictures are matched against a blend of the two.
#pragma once

#include "palette.h"
#include "palette_mapping.h"

struct PanelPalette {
    Palette colours; // nominal, in index order: what a record's palette block carries
    Palette shows;   // as measured: empty, or one colour for each of `colours`
};

// A difference of hue counts this many times against one of lightness or chroma when a
// panel palette is matched: enough that a green keeps to a green entry rather than an
// orange one nearer in lightness, not so much that the shares of light suffer.
inline constexpr int PANEL_HUE_WEIGHT = 5;

// The colour each entry is matched by at `saturation` (0 to SATURATION_ONE): the nominal
// colour moved that far towards the measured one, channel by channel in sRGB, rounded.
// The nominal colours when nothing is measured.
Palette MatchedColours(const PanelPalette& palette, int saturation);

// How a panel palette is matched: against MatchedColours, colour-less pixels kept to the
// entries whose nominal colour is colour-less (black, white, greys), hue weighted.
PaletteMatch PanelMatch(const PanelPalette& palette, int saturation);

// The measured colours that a panel's own palette lends to another palette given for it:
// those of `panel` when `given` has the panel's colour at each of its indices, else none.
Palette BorrowedShows(const Palette& given, const PanelPalette& panel);
