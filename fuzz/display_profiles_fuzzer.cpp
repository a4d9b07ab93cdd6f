// Fuzz target: the profile file loader and its line parser. Every entry must have a
// name of 1-127 characters without white space and a description that starts with a
// visible character; an entry written back as "NAME LAYOUT ; DEPTH DESCRIPTION" must
// parse to the same entry.
#include "display_profiles.h"
#include "fuzz_support.h"

namespace {

bool IsScanSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void CheckProfile(const DisplayProfile& profile) {
    fuzz::Require(!profile.name.empty() && profile.name.size() <= PROFILE_NAME_MAX,
                  "name of 1-127 characters");
    for (const char c : profile.name) {
        fuzz::Require(!IsScanSpace(c) && c != '\0', "name without white space");
    }
    fuzz::Require(profile.description.empty() || !IsScanSpace(profile.description.front()),
                  "description starts with a visible character");

    const std::string line = profile.name + " " + std::to_string(profile.layout) + " ; " +
                             std::to_string(profile.depth) + " " + profile.description;
    const std::optional<DisplayProfile> again = ParseProfileLine(line);
    fuzz::Require(again.has_value(), "written-back entry parses");
    fuzz::Require(again->name == profile.name && again->layout == profile.layout &&
                      again->depth == profile.depth && again->description == profile.description,
                  "written-back entry parses to the same entry");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("displays.prf");

    // The whole input as one line, as the dialog's callers never do but the parser must
    // survive.
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    if (const std::optional<DisplayProfile> profile = ParseProfileLine(whole);
        profile && whole.find('\0') == std::string_view::npos && size <= PROFILE_LINE_MAX) {
        CheckProfile(*profile);
    }

    fuzz::WriteFile(path, data, size);
    DisplayProfileList profiles;
    fuzz::Require(LoadDisplayProfiles(path, profiles).Ok(), "existing file loads");
    // A line is at least one byte of the file, so there are never more entries than bytes.
    fuzz::Require(profiles.size() <= size, "at most one entry per byte");
    for (const DisplayProfile& profile : profiles) {
        CheckProfile(profile);
    }
    return 0;
}
