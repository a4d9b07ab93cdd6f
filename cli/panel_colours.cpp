// Loading a display type's panel colours and putting them into a decoded record's colour
// table, code by code.
#include "panel_colours.h"

#include "profile_lookup.h"
#include "profile_warnings.h"

#include <cstdio>
#include <set>
#include <vector>

std::optional<DisplayProfile> LoadPanelProfile(const std::string& path, const std::string& name,
                                               std::string& failure) {
    DisplayProfileList profiles;
    std::vector<ProfileLineFault> faults;
    if (Outcome loaded = LoadDisplayProfiles(path, profiles, faults); !loaded.Ok()) {
        loaded.reason = {}; // render names the file only
        failure = OutcomeText(loaded);
        failure.pop_back();
        return std::nullopt;
    }
    // The name as convert --type takes it: without regard to case where only one fits.
    const ProfileLookup lookup = FindProfile(profiles, name);
    if (lookup.found == nullptr) {
        failure = UnknownProfileText(name, lookup.closest);
        return std::nullopt;
    }
    const DisplayProfile& profile = *lookup.found;
    if (!profile.unusable.empty()) {
        failure = "profile file '" + path + "', line " + std::to_string(profile.line) + ": " +
                  profile.unusable;
        return std::nullopt;
    }
    PrintProfileWarnings(stderr, path, faults, {profile.line});
    if (profile.palette.empty()) {
        failure = "the profile '" + profile.name + "' names no palette (palette=) for --panel";
        return std::nullopt;
    }
    return profile;
}

std::optional<std::string> ShowAsPanel(DisplayBitmap& bitmap, const DisplayProfile& panel) {
    if (bitmap.info.bitCount > 8) {
        return "a colour record has no codes for the panel of '" + panel.name +
               "' to show; drawn in its own colours";
    }
    const Palette& shown = panel.shows.size() == panel.palette.size() ? panel.shows : panel.palette;
    const std::size_t codes = std::size_t{1} << bitmap.info.bitCount;
    Palette carried;
    bool differs = false;
    for (std::size_t k = 0; k < panel.palette.size() && k < codes; ++k) {
        ColourEntry& entry = bitmap.colours[k];
        carried.push_back({entry.red, entry.green, entry.blue});
        differs = differs || carried.back() != panel.palette[k];
        entry.red = shown[k].red;
        entry.green = shown[k].green;
        entry.blue = shown[k].blue;
    }
    if (!differs) {
        return std::nullopt;
    }
    return "the record's palette (" + ColourNames(carried) + ") is not the panel's (" +
           ColourNames(Palette(panel.palette.begin(),
                               panel.palette.begin() + static_cast<long>(carried.size()))) +
           "): drawn as the panel of '" + panel.name + "' shows its codes";
}
