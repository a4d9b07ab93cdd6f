// The rectangle of a picture that a record stores, and how a delta frame's rectangle is
// found against the previous picture and aligned to whole packed bytes.
#pragma once

#include <cstdint>
#include <optional>

// The top-left corner and the size, in pixels.
struct ChangedRect {
    std::int16_t x = 0, y = 0;
    std::int16_t width = 0, height = 0;
};

// The smallest rectangle holding every pixel whose bytes differ between the two
// width x height pictures (stored-row order) of bytesPerPixel bytes a pixel (3 for
// colours: a change of any channel is a change); nothing when they are equal.
std::optional<ChangedRect> FindChangedRect(const std::uint8_t* current,
                                           const std::uint8_t* previous, int width, int height,
                                           int bytesPerPixel = 1);

// Widens the rectangle along the packing axis of the order (x for row order and banded
// columns, y for column order and banded rows) to whole bytes of 8 / depth pixels, then
// clips it to the picture. Depths other than 1, 2, 4 and 8 are only clipped.
ChangedRect AlignChangedRect(ChangedRect rect, int depth, int order, int width, int height);
