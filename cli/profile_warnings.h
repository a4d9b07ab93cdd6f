// The warnings that a run prints about the lines of a profile file: every fault of the
// lines whose profiles the run uses, once, and at most one line summing up the others,
// which "ztr profiles --check" lists in full.
#pragma once

#include "display_profiles.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

// The line summing up `count` lines with faults ("other" ones when some were printed),
// without its line end: "WARNING: 3 other lines of 'displays.prf' could not be read; 'ztr
// profiles --check' lists them".
std::string ProfileSummaryLine(const std::string& path, std::size_t count, bool other);

// Prints to `out` the warnings of the faults on `usedLines`, in file order, then the
// summary of the lines with faults among the rest, if any.
void PrintProfileWarnings(std::FILE* out, const std::string& path,
                          const std::vector<ProfileLineFault>& faults,
                          const std::set<unsigned>& usedLines);
