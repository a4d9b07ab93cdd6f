// The dithering methods a conversion offers, in the order every front end lists them: the
// word that ztr's --dither and the settings file take, and the label the converter's and
// the page's lists show. A new method is a value of Dither, a row here and its kernel in
// tone.cpp; ztr's help, its parsing and both lists follow from this table.
#pragma once

#include <string>

enum class Dither { None, FloydSteinberg, Atkinson, Bayer4, Bayer8 };

struct DitherMethod {
    Dither dither;
    const char* word;  // "floyd-steinberg"
    const char* label; // "Floyd-Steinberg"
};

inline constexpr DitherMethod DITHER_METHODS[] = {
    {Dither::None, "none", "None"},
    {Dither::FloydSteinberg, "floyd-steinberg", "Floyd-Steinberg"},
    {Dither::Atkinson, "atkinson", "Atkinson"},
    {Dither::Bayer4, "bayer4", "Bayer 4 x 4"},
    {Dither::Bayer8, "bayer8", "Bayer 8 x 8"},
};

// The method's row of the table; the first row (no dithering) for a value without one.
const DitherMethod& DitherMethodOf(Dither dither);

// Every method's word, in the table's order, joined by `separator`.
std::string DitherWords(const char* separator);
