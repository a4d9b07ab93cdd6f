// ztr render --panel TYPE: a record drawn as the panel of a display type shows it. The
// panel reads a pixel's value as its own code, whatever colours the record's palette
// names, and shows each code in its ink's colour, as measured (shows=) where known.
#pragma once

#include "display_bitmap.h"
#include "display_profiles.h"

#include <optional>
#include <string>

// The profile named `name` in the profile file at `path` (the first of that name), with
// the warnings of its line printed to standard error and the file's other faults summed
// up. Nothing, after a message, when the file cannot be opened, has no such profile, or
// the profile cannot be used or names no palette.
std::optional<DisplayProfile> LoadPanelProfile(const std::string& path, const std::string& name,
                                               std::string& failure);

// Puts the panel's colours into the bitmap's colour table: code k shows as the profile's
// measured colour k, or its nominal colour when nothing is measured. Returns a note for a
// record whose own palette names other colours for the panel's codes (written for
// another order of colours), or nothing. Colour bitmaps (16 and 24 bits) have no codes
// to show and are left as they are, with a note.
std::optional<std::string> ShowAsPanel(DisplayBitmap& bitmap, const DisplayProfile& panel);
