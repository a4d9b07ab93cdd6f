// Tone options as words: every value round-trips, and anything else is refused without
// changing the options.
#include "tone_settings.h"

#include <gtest/gtest.h>

namespace {

bool Same(const ToneOptions& a, const ToneOptions& b) {
    return ToneSettings(a) == ToneSettings(b);
}

TEST(ToneSettings, EveryValueRoundTrips) {
    ToneOptions changed;
    changed.source = ToneSource::Luminance;
    changed.background = 0;
    changed.threshold = 77;
    changed.dither = Dither::Atkinson;
    changed.invert = true;
    changed.resizeWidth = 128;
    changed.resizeHeight = 33;
    changed.fit = Fit::Cover;
    changed.rotate = 270;
    changed.mirrorY = true;
    ToneOptions autoThreshold;
    autoThreshold.autoThreshold = true;
    autoThreshold.mirrorX = true;
    autoThreshold.mirrorY = true;
    for (const ToneOptions& original : {ToneOptions{}, changed, autoThreshold}) {
        ToneOptions read;
        read.threshold = 5; // every key is written, so nothing of this survives
        read.dither = Dither::Bayer4;
        read.resizeWidth = 9;
        read.resizeHeight = 9;
        read.mirrorX = true;
        for (const auto& [key, text] : ToneSettings(original)) {
            ASSERT_TRUE(ApplyToneSetting(key, text, read)) << key << "=" << text;
        }
        EXPECT_TRUE(Same(read, original));
    }
    EXPECT_EQ(ToneSettings(changed)[5].second, "128x33");
    EXPECT_EQ(ToneSettings(autoThreshold)[8].second, "xy");
}

TEST(ToneSettings, RefusesWhatIsNoValue) {
    const std::pair<const char*, const char*> refused[] = {
        {"tone", "Index"},  {"background", "grey"}, {"threshold", "256"},  {"threshold", "-1"},
        {"threshold", ""},  {"threshold", " 7"},    {"dither", "bayer16"}, {"invert", "yes"},
        {"resize", "0x10"}, {"resize", "10x"},      {"resize", "32768x1"}, {"resize", "10X10"},
        {"fit", "fill"},    {"rotate", "45"},       {"rotate", "360"},     {"mirror", "z"},
        {"size", "1x1"},
    };
    for (const auto& [key, text] : refused) {
        ToneOptions options;
        EXPECT_FALSE(ApplyToneSetting(key, text, options)) << key << "=" << text;
        EXPECT_TRUE(Same(options, ToneOptions{})) << key << "=" << text;
    }
}

} // namespace
