// Checking a given palette against a panel's palette, index by index.
#include "palette_order.h"

#include <algorithm>

std::optional<std::string> PaletteOrderFault(const Palette& given, const std::string& givenName,
                                             const Palette& panel, const std::string& typeName) {
    if (panel.empty()) {
        return std::nullopt;
    }
    bool outOfPlace = false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (std::find(panel.begin(), panel.end(), given[i]) == panel.end()) {
            return std::nullopt; // a colour of the user's own: the palette is theirs
        }
        outOfPlace = outOfPlace || i >= panel.size() || panel[i] != given[i];
    }
    if (!outOfPlace) {
        return std::nullopt;
    }
    return givenName + " puts the colours of " + typeName + " in another order (" +
           ColourNames(given) + "); the panel's order is " + ColourNames(panel) +
           ", and a colour at another index is a code that the panel shows as another colour";
}
