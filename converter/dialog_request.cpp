// The converter's request: its pictures on disk, its types with their profiles' colours,
// and the delay field's rule for GIF delays.
#include "dialog_request.h"

ConversionRequest DialogRequest(const std::vector<std::string>& pictures,
                                const std::vector<std::uint32_t>& codes,
                                const std::vector<const DisplayProfile*>& profiles, bool animation,
                                int delayField, const ToneOptions& tone, CodingChoice coding) {
    ConversionRequest request;
    for (const std::string& picture : pictures) {
        request.pictures.push_back({picture});
    }
    for (std::size_t k = 0; k < codes.size(); ++k) {
        DisplayTarget target;
        target.typeCode = codes[k];
        if (k < profiles.size() && profiles[k] != nullptr) {
            target.palette = profiles[k]->palette;
            target.shows = profiles[k]->shows;
        }
        request.targets.push_back(std::move(target));
    }
    request.animation = animation;
    if (animation && delayField != 0) {
        request.delay = delayField;
    }
    request.tone = tone;
    request.coding = coding;
    return request;
}
