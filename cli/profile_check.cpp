// The full account of a profile file's faults, for fixing the file.
#include "profile_check.h"

#include "commands.h"

#include <set>

int PrintProfileCheck(std::FILE* out, const std::string& path, const DisplayProfileList& profiles,
                      const std::vector<ProfileLineFault>& faults) {
    std::set<unsigned> lines;
    for (const ProfileLineFault& fault : faults) {
        std::fprintf(out, "profile file '%s', line %u: %s\n", path.c_str(), fault.line,
                     fault.text.c_str());
        lines.insert(fault.line);
    }
    std::string unusable;
    for (const DisplayProfile& profile : profiles) {
        if (!profile.unusable.empty()) {
            unusable += (unusable.empty() ? "" : ", ") + profile.name;
        }
    }
    std::fprintf(out, "'%s': %zu profile%s, %zu line%s with faults", path.c_str(), profiles.size(),
                 profiles.size() == 1 ? "" : "s", lines.size(), lines.size() == 1 ? "" : "s");
    if (!unusable.empty()) {
        std::fprintf(out, "; cannot be used: %s", unusable.c_str());
    }
    std::fputs("\n", out);
    return lines.empty() ? EXIT_DONE : EXIT_FAILED;
}
