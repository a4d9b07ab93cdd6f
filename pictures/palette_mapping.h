// Mapping a colour picture to a palette: every pixel becomes the index of one of the
// palette's colours, the nearest one or, with dithering, the one that keeps the area's
// colour in linear light.
#pragma once

#include "palette.h"
#include "tone.h"

#include <cstdint>

// Maps width x height pixels of red, green, blue (top row first) to indices into
// `palette` (1 to 256 colours), one byte a pixel:
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
// False when memory ran out or the palette is empty.
bool MapToPalette(const std::uint8_t* rgb, int width, int height, const Palette& palette,
                  Dither dither, std::uint8_t* indices);
