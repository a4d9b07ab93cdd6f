// ztr profiles --check: every fault of a profile file's lines, and a last line that says
// how many lines have faults and which profiles cannot be used.
#pragma once

#include "display_profiles.h"

#include <cstdio>
#include <string>
#include <vector>

// Prints the check of the file at `path` to `out`; returns the exit status: EXIT_DONE when
// no line has a fault, EXIT_FAILED otherwise.
int PrintProfileCheck(std::FILE* out, const std::string& path, const DisplayProfileList& profiles,
                      const std::vector<ProfileLineFault>& faults);
