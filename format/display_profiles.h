// Display profiles: the display types of "displays.prf", one per valid line, each with
// a name, a lay-out code, a colour depth and an optional description.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t PROFILE_NAME_MAX = 127;
inline constexpr std::size_t PROFILE_LINE_MAX = 255;

struct DisplayProfile {
    std::string name;         // the line's first word, at most 127 characters
    std::uint16_t layout = 0; // low 16 bits of the lay-out code
    std::uint8_t depth = 1;   // low 8 bits of the depth; 1 when the line gives none
    std::string description;  // empty when the line has none
};

// The loaded profiles, in file order; their users address entries by position. The
// program that loads them owns the list (the converter's main dialog, a ztr command).
using DisplayProfileList = std::vector<DisplayProfile>;

// Appends an entry to `profiles` for every valid line of the file. Returns 1, or 0 (list
// unchanged) when the file cannot be opened. Does not empty the list first.
int LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles);

// Empties the list.
void FreeDisplayProfiles(DisplayProfileList& profiles);

// One line (a piece of at most 255 characters, without its line end) as a profile, or
// nothing for comments, blank lines and lines that fit neither form.
std::optional<DisplayProfile> ParseProfileLine(std::string_view line);

// The text under which a profile is offered: its description, or its name without one.
const std::string& ProfileText(const DisplayProfile& profile);
