// The popup of display types ("filetype_menu" in TypeMenu), rebuilt from the profiles
// each time it opens: one item per profile with a text, identifier 256 + the profile's
// position. Positions of profiles without a text are skipped but still counted.
#pragma once

#include "display_profiles.h"

#include <windows.h>

inline constexpr UINT TYPE_ITEM_FIRST = 256;
// A command's identifier reaches the dialog in 16 bits, so that is as far as items go.
inline constexpr UINT TYPE_ITEM_LAST = 0xFFFF;

// Empties the popup and appends the profiles' items. Returns false when the list is empty.
bool FillTypePopup(HMENU popup, const DisplayProfileList& profiles);

// The profile that the item identifier stands for, or nothing when there is none.
const DisplayProfile* ProfileForTypeItem(const DisplayProfileList& profiles, UINT identifier);
