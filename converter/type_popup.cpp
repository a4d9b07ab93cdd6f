// Filling the type popup and mapping its identifiers back to profiles.
#include "type_popup.h"

#include <algorithm>

bool FillTypePopup(HMENU popup, const DisplayProfileList& profiles) {
    while (RemoveMenu(popup, 0, MF_BYPOSITION)) {
    }
    if (profiles.empty()) {
        return false;
    }
    const std::size_t itemCount =
        std::min<std::size_t>(profiles.size(), TYPE_ITEM_LAST - TYPE_ITEM_FIRST + 1);
    for (std::size_t position = 0; position < itemCount; ++position) {
        const std::string& text = ProfileText(profiles[position]);
        if (!text.empty()) {
            AppendMenuA(popup, MF_STRING, TYPE_ITEM_FIRST + position, text.c_str());
        }
    }
    return true;
}

const DisplayProfile* ProfileForTypeItem(const DisplayProfileList& profiles, UINT identifier) {
    if (identifier < TYPE_ITEM_FIRST || identifier > TYPE_ITEM_LAST) {
        return nullptr;
    }
    const std::size_t position = identifier - TYPE_ITEM_FIRST;
    if (position >= profiles.size()) {
        return nullptr;
    }
    return &profiles[position];
}
