// Choosing which faults of a profile file a run reports, and the line that sums up the rest.
#include "profile_warnings.h"

std::string ProfileSummaryLine(const std::string& path, std::size_t count, bool other) {
    const bool one = count == 1;
    return "WARNING: " + std::to_string(count) + (other ? " other" : "") +
           (one ? " line of '" : " lines of '") + path + "' could not be read; 'ztr profiles " +
           "--check' lists " + (one ? "it" : "them");
}

void PrintProfileWarnings(std::FILE* out, const std::string& path,
                          const std::vector<ProfileLineFault>& faults,
                          const std::set<unsigned>& usedLines) {
    std::set<unsigned> others;
    bool printed = false;
    for (const ProfileLineFault& fault : faults) {
        if (usedLines.count(fault.line) != 0) {
            std::fputs(ProfileFaultWarning(path, fault).c_str(), out);
            printed = true;
        } else {
            others.insert(fault.line);
        }
    }
    if (!others.empty()) {
        std::fprintf(out, "%s\n", ProfileSummaryLine(path, others.size(), printed).c_str());
    }
}
