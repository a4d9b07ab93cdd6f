// Palette blocks padded to the record's depth, and the rule for which palette fits.
#include "record_palette.h"

#include "zentra_format.h"

std::vector<std::uint8_t> PaletteBlock(const Palette& colours, unsigned depth) {
    if (depth < 1 || depth > 8) {
        return {};
    }
    std::vector<std::uint8_t> block(static_cast<std::size_t>(PaletteSize(depth)), 0);
    for (std::size_t k = 0; k < colours.size() && 3 * k + 2 < block.size(); ++k) {
        block[3 * k] = colours[k].red;
        block[3 * k + 1] = colours[k].green;
        block[3 * k + 2] = colours[k].blue;
    }
    return block;
}

bool PaletteFits(std::size_t colours, unsigned depth) {
    return depth > 8 || colours <= (std::size_t{1} << depth);
}

std::string TooManyColoursText(std::size_t colours, unsigned depth) {
    return std::to_string(colours) + " colours, more than the " +
           std::to_string(std::size_t{1} << depth) + " of a record of depth " +
           std::to_string(depth);
}
