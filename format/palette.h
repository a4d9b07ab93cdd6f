// Palettes: the colours of a record's pixel values, in index order, as a record's
// palette block stores them (red, green, blue per entry). The tools know a few panels'
// palettes by name and read others written as "#RRGGBB" colours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PaletteColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

using Palette = std::vector<PaletteColour>;

// A palette the tools know by name.
struct NamedPalette {
    std::string_view name;
    Palette colours;
};

// The built-in palettes, in the order every list of them shows, their colours in index
// order:
//   bw       black, white
//   bwr      black, white, red
//   bwy      black, white, yellow
//   bwry     black, white, red, yellow
//   6colour  black, white, yellow, red, blue, green
//   7colour  black, white, yellow, red, blue, green, orange
const std::vector<NamedPalette>& BuiltInPalettes();

// The colours of the built-in palette of that name; nothing for another name.
std::optional<Palette> BuiltInPalette(std::string_view name);

// The built-in palettes' names, in order, separated by ", ", for messages and help texts.
std::string BuiltInPaletteNames();

// The name of a built-in palette's colour (black, white, red, yellow, blue, green,
// orange), else "#RRGGBB" in upper case.
std::string ColourName(const PaletteColour& colour);

// Every colour's name, separated by ", ", in index order.
std::string ColourNames(const Palette& palette);

// "#RRGGBB" (six hexadecimal digits, either case); nothing for anything else.
std::optional<PaletteColour> ParseHexColour(std::string_view text);

// Colours separated by commas ("#000000,#FFFFFF,#FF0000"); nothing when any of them is
// not a colour or the list is empty.
std::optional<Palette> ParseColourList(std::string_view text);
