// Profile names as users type them: exact, then without regard to case, then the nearest.
#include "profile_lookup.h"

#include <algorithm>
#include <cstddef>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

// Typing mistakes between two names: letters added, left out or changed, and two
// neighbours swapped, each counting one (optimal string alignment distance).
std::size_t TypingDistance(const std::string& a, const std::string& b) {
    const std::size_t width = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * width);
    for (std::size_t i = 0; i <= a.size(); ++i) {
        for (std::size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i * width + j] = i + j;
                continue;
            }
            const std::size_t changed = a[i - 1] == b[j - 1] ? 0 : 1;
            std::size_t best = std::min({d[(i - 1) * width + j] + 1, d[i * width + j - 1] + 1,
                                         d[(i - 1) * width + j - 1] + changed});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                best = std::min(best, d[(i - 2) * width + j - 2] + 1);
            }
            d[i * width + j] = best;
        }
    }
    return d.back();
}

} // namespace

ProfileLookup FindProfile(const DisplayProfileList& profiles, std::string_view name) {
    ProfileLookup lookup;
    for (const DisplayProfile& profile : profiles) {
        if (profile.name == name) {
            lookup.found = &profile;
            return lookup;
        }
    }
    const std::string typed = Lowered(name);
    // The names that match without regard to case, each once, in file order.
    const DisplayProfile* firstOfCase = nullptr;
    std::vector<std::string> caseMatches;
    for (const DisplayProfile& profile : profiles) {
        if (Lowered(profile.name) == typed &&
            std::find(caseMatches.begin(), caseMatches.end(), profile.name) == caseMatches.end()) {
            caseMatches.push_back(profile.name);
            if (firstOfCase == nullptr) {
                firstOfCase = &profile;
            }
        }
    }
    if (caseMatches.size() == 1) {
        lookup.found = firstOfCase;
        return lookup;
    }
    if (caseMatches.size() > 1) {
        caseMatches.resize(std::min(caseMatches.size(), MAX_CLOSEST_NAMES));
        lookup.closest = std::move(caseMatches);
        return lookup;
    }
    // One mistake in three letters, at least one; a name that begins with
    // what was typed is as likely as one mistake.
    const std::size_t allowed = std::max<std::size_t>(1, typed.size() / 3);
    struct Candidate {
        std::size_t distance;
        std::size_t order;
        std::string name;
    };
    std::vector<Candidate> candidates;
    for (std::size_t k = 0; k < profiles.size(); ++k) {
        const std::string& candidate = profiles[k].name;
        const std::string lowered = Lowered(candidate);
        std::size_t distance = TypingDistance(typed, lowered);
        if (!typed.empty() && lowered.rfind(typed, 0) == 0) {
            distance = std::min<std::size_t>(distance, 1);
        }
        const bool seen =
            std::any_of(candidates.begin(), candidates.end(),
                        [&candidate](const Candidate& c) { return c.name == candidate; });
        if (distance <= allowed && !seen) {
            candidates.push_back({distance, k, candidate});
        }
    }
    std::stable_sort(
        candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            return a.distance < b.distance || (a.distance == b.distance && a.order < b.order);
        });
    for (std::size_t k = 0; k < candidates.size() && k < MAX_CLOSEST_NAMES; ++k) {
        lookup.closest.push_back(candidates[k].name);
    }
    return lookup;
}

std::string UnknownProfileText(std::string_view name, const std::vector<std::string>& closest) {
    std::string text = "unknown profile name '" + std::string(name) + "'";
    for (std::size_t k = 0; k < closest.size(); ++k) {
        text += k == 0 ? "; did you mean '" : k + 1 == closest.size() ? "' or '" : "', '";
        text += closest[k];
    }
    return closest.empty() ? text : text + "'?";
}
