// The palette block of an indexed record, and which palettes fit which records.
#pragma once

#include "palette.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The 3 x 2^depth bytes (red, green, blue per entry) of a record of depth 1 to 8 with
// these colours in index order; the entries beyond them are black (0, 0, 0), which no
// pixel uses. Colours beyond 2^depth are left out.
std::vector<std::uint8_t> PaletteBlock(const Palette& colours, unsigned depth);

// Whether records of this depth can take a palette of `colours` colours: at most
// 2^depth at depths 1 to 8; any number at 16 and 24, where pixels are stored as the
// palette's colours.
bool PaletteFits(std::size_t colours, unsigned depth);

// "N colours, more than the M of a record of depth D", for the messages that refuse a
// palette that does not fit.
std::string TooManyColoursText(std::size_t colours, unsigned depth);
