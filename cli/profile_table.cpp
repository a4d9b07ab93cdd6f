// Lines up the profiles' fields under a heading; a field a profile does not give is "-".
#include "profile_table.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t COLUMNS = 8;
using Row = std::array<std::string, COLUMNS>;

// The value of a "key=value" word of the settings as the file writes it, or "-".
std::string SettingText(const std::string& settings, const std::string& key) {
    std::size_t at = 0;
    while (at < settings.size()) {
        std::size_t end = settings.find(' ', at);
        if (end == std::string::npos) {
            end = settings.size();
        }
        const std::string word = settings.substr(at, end - at);
        if (word.rfind(key + "=", 0) == 0) {
            return word.substr(key.size() + 1);
        }
        at = end + 1;
    }
    return "-";
}

} // namespace

std::string ProfileTable(const DisplayProfileList& profiles) {
    std::vector<Row> rows;
    rows.push_back(
        {"#", "name", "layout", "depth", "size", "palette", "background", "description"});
    for (std::size_t k = 0; k < profiles.size(); ++k) {
        const DisplayProfile& profile = profiles[k];
        char layout[16];
        std::snprintf(layout, sizeof layout, "0x%02X", static_cast<unsigned>(profile.layout));
        const std::string size = profile.panelWidth > 0 ? std::to_string(profile.panelWidth) + "x" +
                                                              std::to_string(profile.panelHeight)
                                                        : "-";
        // The palette as the settings name it, when they named one that was taken.
        const std::string palette =
            profile.palette.empty() ? "-" : SettingText(profile.settings, "palette");
        const std::string background = !profile.background        ? "-"
                                       : *profile.background == 0 ? "black"
                                                                  : "white";
        rows.push_back({std::to_string(k), profile.name, layout,
                        std::to_string(static_cast<unsigned>(profile.depth)), size, palette,
                        background, profile.description});
    }
    std::array<std::size_t, COLUMNS> widths{};
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < COLUMNS; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < COLUMNS; ++c) {
            line += row[c];
            if (c + 1 < COLUMNS) {
                line += std::string(widths[c] - row[c].size() + 2, ' ');
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + "\n";
    }
    return text;
}
