// The values of the tone options, as a refusal lists them.
#include "tone_value_hints.h"

#include "palette.h"
#include "tone.h"

#include <initializer_list>
#include <string_view>
#include <vector>

namespace {

// "a, b or c" of words in a list.
template <typename Names> std::string Alternatives(const Names& names) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        text += k == 0 ? "" : k + 1 == names.size() ? " or " : ", ";
        text += names[k];
    }
    return text;
}

} // namespace

std::string ToneValueHint(const std::string& key) {
    using Words = std::initializer_list<std::string_view>;
    const auto list = [](Words words) {
        return Alternatives(std::vector<std::string_view>(words));
    };
    if (key == "tone") {
        return list({"index", "luminance"});
    }
    if (key == "background") {
        return list({"white", "black"});
    }
    if (key == "threshold") {
        return "0 to 255, or auto";
    }
    if (key == "dither") {
        std::vector<std::string_view> words;
        for (const DitherMethod& method : DITHER_METHODS) {
            words.push_back(method.word);
        }
        return Alternatives(words);
    }
    if (key == "invert") {
        return list({"1", "0"});
    }
    if (key == "resize") {
        return "WxH, each side 1 to " + std::to_string(MAX_PICTURE_SIDE);
    }
    if (key == "fit") {
        return list({FitName(Fit::Contain), FitName(Fit::Cover), FitName(Fit::Stretch)});
    }
    if (key == "rotate") {
        return list({"90", "180", "270"});
    }
    if (key == "mirror") {
        return list({"x", "y"});
    }
    if (key == "palette") {
        return BuiltInPaletteNames() + ", #RRGGBB,... or a palette file";
    }
    if (key == "saturation") {
        return "0 to 1";
    }
    if (key == "colours") {
        return "2 to " + std::to_string(MAX_ADAPTIVE_COLOURS);
    }
    return {};
}
