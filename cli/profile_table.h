// The display profiles as a table for people (ztr profiles --verbose): lay-outs in 0x
// hexadecimal, the panel's settings in columns of their own, columns lined up. The
// tab-separated listing without --verbose is for scripts and stays as it is.
#pragma once

#include "display_profiles.h"

#include <string>

// The table's lines, a heading first, each ending in a line feed.
std::string ProfileTable(const DisplayProfileList& profiles);
