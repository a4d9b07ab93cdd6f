// The rules by which an option of ztr convert does nothing: where the tone options act
// is tone_depths.h's, which the tone steps follow too. Any change of the grey levels
// (resizing, inverting, another threshold, dithering) also reads those bitmaps by
// luminance, which is all a threshold or dithering does where it has nothing else to do.
#include "idle_options.h"

#include "tone_depths.h"
#include "type_code.h"
#include "zentra_format.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr const char* BY_LUMINANCE_ONLY =
    "; it only makes bitmaps with a colour table read by luminance, as --tone luminance does";

// Whether the options but `except` read colour tables by luminance already.
bool LuminanceByOthers(const ConversionChoices& choices, std::string_view except) {
    ToneOptions tone = choices.tone;
    if (except == "--threshold") {
        tone.threshold = DEFAULT_THRESHOLD;
        tone.autoThreshold = false;
    } else if (except == "--dither") {
        tone.dither = Dither::None;
    } else if (except == "--tone") {
        tone.source = ToneSource::Index;
    }
    return tone.source == ToneSource::Luminance || choices.resizePanel || ChangesGreyLevels(tone);
}

} // namespace

std::vector<std::string> IdleOptions(const ConversionChoices& choices) {
    const auto given = [&choices](const char* option) { return choices.given.count(option) != 0; };
    const auto any = [&choices](auto test) {
        return std::any_of(choices.typeCodes.begin(), choices.typeCodes.end(),
                           [&test](std::uint32_t code) { return test(TypeCodeDepth(code)); });
    };
    const bool allColour = !any([](unsigned depth) { return !IsColourDepth(depth); });
    const bool resized = choices.resizePanel || choices.tone.resizeWidth > 0;
    std::vector<std::string> idle;
    if (given("--fit") && !resized) {
        idle.push_back("--fit has no effect without --resize");
    }
    if (given("--threshold") && !any(ThresholdActsAt)) {
        idle.push_back(
            allColour ? "--threshold has no effect on colour display types (depths 16 "
                        "and 24)"
                      : std::string("--threshold acts only at depth 1, and no display "
                                    "type has depth 1") +
                            (LuminanceByOthers(choices, "--threshold") ? "" : BY_LUMINANCE_ONLY));
    }
    const bool towardsPalette = choices.palettes;
    if (given("--dither") && choices.tone.dither != Dither::None &&
        !any([towardsPalette](unsigned depth) { return DitherActsAt(depth, towardsPalette); })) {
        const bool grey = any([](unsigned depth) { return depth == 8; });
        idle.push_back(
            std::string("--dither has no effect at depths 8 and 24, which keep every level") +
            (grey && !LuminanceByOthers(choices, "--dither") ? BY_LUMINANCE_ONLY : ""));
    }
    if (given("--tone")) {
        if (!any(ToneSourceActsAt)) {
            idle.push_back("--tone has no effect on colour display types (depths 16 and 24)");
        } else if (LuminanceByOthers(choices, "--tone")) {
            idle.push_back("--tone has no effect with --resize, --invert, --threshold or "
                           "--dither, which read colour tables by luminance");
        }
    }
    if (given("--delay") && !choices.animation) {
        idle.push_back("--delay has no effect without --animation");
    }
    if (given("--saturation") && !choices.measured) {
        idle.push_back("--saturation has no effect without a palette whose measured colours are "
                       "known (a profile's shows=, a palette file's second column)");
    }
    if (given("--window")) {
        if (!choices.codingAuto) {
            idle.push_back("--window has no effect without --coding auto");
        } else if (!any([](unsigned depth) { return IsSubByteDepth(depth); })) {
            idle.push_back("--window acts only at depths 1, 2 and 4, and no display type has "
                           "them");
        }
    }
    return idle;
}
