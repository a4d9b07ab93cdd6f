// Mapping a colour picture to a palette: every pixel becomes the index of one of the
// palette's colours, the nearest one or, with dithering, the one that keeps the area's
// colour in linear light.
#pragma once

#include "palette.h"
#include "tone.h"

#include <cstdint>
#include <vector>

// What the pixels are matched against.
struct PaletteMatch {
    // The colour each index is matched by (1 to 256 of them): a panel's colours as it
    // shows them, or simply the palette's.
    Palette colours;
    // The entries that colour-less pixels (colourless.h) may take, by index: black, white
    // and greys. Empty, or without any such entry, every pixel may take every entry.
    std::vector<bool> colourless;
    // How many times a difference of hue counts (NearestColour); 1: plain OKLab distance.
    int hueWeight = 1;
};

// Maps width x height pixels of red, green, blue (top row first) to indices into
// match.colours, one byte a pixel:
//   none             the colour nearest in OKLab
//   floyd-steinberg, atkinson
//                    error diffusion in row order (each row left to right, rows top to
//                    bottom): the pixel plus its share of its neighbours' errors, in
//                    linear light and clamped to the displayable range, takes the colour
//                    nearest to it in OKLab, and its own error in linear light goes on
//   bayer4, bayer8   ordered dithering: the matrix cell's offset, scaled to the mean
//                    distance between neighbouring palette colours, is added to every
//                    channel in linear light, and the colour nearest in linear light is
//                    taken (so that a pattern's share of each colour follows the light)
// With colour-less entries, a pixel that is colour-less in the picture takes only those,
// whatever error reaches it, and hands on only the lightness of its own error (the grey
// of equal luminance), so that colour neither appears in nor travels through grey areas.
// False when memory ran out or the palette is empty.
bool MapToPalette(const std::uint8_t* rgb, int width, int height, const PaletteMatch& match,
                  Dither dither, std::uint8_t* indices);

// The same against the palette's own colours, every entry open to every pixel, by plain
// OKLab distance (adaptive palettes, chosen from the picture itself).
bool MapToPalette(const std::uint8_t* rgb, int width, int height, const Palette& palette,
                  Dither dither, std::uint8_t* indices);
