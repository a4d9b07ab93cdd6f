// The order of a panel's palette: a record's pixel values are the codes that the panel's
// controller takes, so a palette given for a display type whose profile names the
// panel's palette must keep each of the panel's colours at the panel's index.
#pragma once

#include "palette.h"

#include <optional>
#include <string>

// What is wrong with `given` (named `givenName`, for example "palette '7colour'") for the
// panel palette of `typeName` (for example "type 'acep7'"): nothing when every colour of
// `given` that the panel's palette has stands at the panel's index for it, or when
// `given` brings colours that the panel's palette does not have (a palette of the user's
// own); else a text naming both orders.
std::optional<std::string> PaletteOrderFault(const Palette& given, const std::string& givenName,
                                             const Palette& panel, const std::string& typeName);
