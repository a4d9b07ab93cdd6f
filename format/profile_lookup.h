// Finding a display profile by the name a user typed: the first profile of exactly that
// name; else the one profile whose name matches without regard to case; else nothing,
// with the names closest to what was typed, so that a message can offer them.
#pragma once

#include "display_profiles.h"

#include <string>
#include <string_view>
#include <vector>

struct ProfileLookup {
    const DisplayProfile* found = nullptr; // points into the list; null when none matched
    std::vector<std::string> closest;      // without a match: the likeliest names, best first
};

// At most this many names are offered.
inline constexpr std::size_t MAX_CLOSEST_NAMES = 5;

// Looks `name` up in the list. Names that differ from it only in letter case count when
// they are all one name (several profiles of one name: the first counts); several such
// names are offered instead. Otherwise the closest names are those within a few typing
// mistakes of it (letters added, left out, changed or swapped, case ignored) and those that
// begin with it, fewest mistakes first and in file order among equals.
ProfileLookup FindProfile(const DisplayProfileList& profiles, std::string_view name);

// "unknown profile name 'NAME'", followed by "; did you mean 'A', 'B' or 'C'?" when names
// are offered.
std::string UnknownProfileText(std::string_view name, const std::vector<std::string>& closest);
