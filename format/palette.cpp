// The built-in palettes and the "#RRGGBB" colour notation.
#include "palette.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

constexpr PaletteColour BLACK{0x00, 0x00, 0x00};
constexpr PaletteColour WHITE{0xFF, 0xFF, 0xFF};
constexpr PaletteColour RED{0xFF, 0x00, 0x00};
constexpr PaletteColour YELLOW{0xFF, 0xFF, 0x00};
constexpr PaletteColour BLUE{0x00, 0x00, 0xFF};
constexpr PaletteColour GREEN{0x00, 0xFF, 0x00};
constexpr PaletteColour ORANGE{0xFF, 0x80, 0x00};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

const std::vector<NamedPalette>& BuiltInPalettes() {
    static const std::vector<NamedPalette> NAMED{
        {"bw", {BLACK, WHITE}},
        {"bwr", {BLACK, WHITE, RED}},
        {"bwy", {BLACK, WHITE, YELLOW}},
        {"bwry", {BLACK, WHITE, RED, YELLOW}},
        {"6colour", {BLACK, WHITE, YELLOW, RED, BLUE, GREEN}},
        {"7colour", {BLACK, WHITE, YELLOW, RED, BLUE, GREEN, ORANGE}},
    };
    return NAMED;
}

std::optional<Palette> BuiltInPalette(std::string_view name) {
    for (const NamedPalette& palette : BuiltInPalettes()) {
        if (palette.name == name) {
            return palette.colours;
        }
    }
    return std::nullopt;
}

std::string BuiltInPaletteNames() {
    std::string names;
    for (const NamedPalette& palette : BuiltInPalettes()) {
        names += (names.empty() ? "" : ", ") + std::string(palette.name);
    }
    return names;
}

std::string ColourName(const PaletteColour& colour) {
    static const std::array<std::pair<PaletteColour, const char*>, 7> NAMES{{
        {BLACK, "black"},
        {WHITE, "white"},
        {RED, "red"},
        {YELLOW, "yellow"},
        {BLUE, "blue"},
        {GREEN, "green"},
        {ORANGE, "orange"},
    }};
    for (const auto& [named, name] : NAMES) {
        if (named == colour) {
            return name;
        }
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
    return text;
}

std::string ColourNames(const Palette& palette) {
    std::string names;
    for (const PaletteColour& colour : palette) {
        names += (names.empty() ? "" : ", ") + ColourName(colour);
    }
    return names;
}

std::optional<PaletteColour> ParseHexColour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    std::array<std::uint8_t, 3> channels{};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const int high = HexDigit(text[1 + 2 * i]);
        const int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        channels[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return PaletteColour{channels[0], channels[1], channels[2]};
}

std::optional<Palette> ParseColourList(std::string_view text) {
    Palette colours;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<PaletteColour> colour = ParseHexColour(text.substr(0, comma));
        if (!colour) {
            return std::nullopt;
        }
        colours.push_back(*colour);
        if (comma == std::string_view::npos) {
            return colours;
        }
        text.remove_prefix(comma + 1);
    }
}
