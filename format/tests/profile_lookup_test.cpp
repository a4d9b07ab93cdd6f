// Profile names as users type them: the exact name first, then the one name that differs
// only in letter case, else the closest names offered.
#include "profile_lookup.h"

#include <gtest/gtest.h>

namespace {

DisplayProfileList Profiles() {
    DisplayProfileList profiles;
    LoadDisplayProfilesFromText("ssd1306 6 ; 1 first\n"
                                "ssd1322 0 ; 4\n"
                                "st7789 4 ; 16\n"
                                "st7789_240x240 4 ; 16 size=240x240\n"
                                "Pages 2\n"
                                "PAGES 2 ; 1 the same name in capitals\n"
                                "dup 1 ; 1 first\n"
                                "dup 2 ; 8 second\n"
                                "SSD1306 0 ; 8 only by case\n",
                                "test.prf", profiles);
    return profiles;
}

TEST(FindProfile, ExactThenOneNameWithoutCaseThenTheClosest) {
    const DisplayProfileList profiles = Profiles();
    const struct {
        const char* typed;
        int found; // position in the list, or -1
        std::vector<std::string> closest;
    } cases[] = {
        {"ssd1306", 0, {}},
        {"SSD1306", 8, {}},                      // exact before the case-blind match
        {"Ssd1306", -1, {"ssd1306", "SSD1306"}}, // two names match without case
        {"DUP", 6, {}},                          // one name, twice in the file: the first counts
        {"ST7789", 2, {}},
        {"pages", -1, {"Pages", "PAGES"}},
        {"ssd1036", -1, {"ssd1306", "SSD1306"}},       // two neighbours swapped: one mistake
        {"st7789_", -1, {"st7789", "st7789_240x240"}}, // one left out; the start of a name
        {"st7789_240x280", -1, {"st7789_240x240"}},
        {"ili9341", -1, {}},
        {"", -1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const ProfileLookup lookup = FindProfile(profiles, c.typed);
        EXPECT_EQ(lookup.found,
                  c.found < 0 ? nullptr : &profiles[static_cast<std::size_t>(c.found)]);
        EXPECT_EQ(lookup.closest, c.closest);
    }
}

TEST(UnknownProfileText, OffersTheNamesInOrder) {
    EXPECT_EQ(UnknownProfileText("x", {}), "unknown profile name 'x'");
    EXPECT_EQ(UnknownProfileText("x", {"a"}), "unknown profile name 'x'; did you mean 'a'?");
    EXPECT_EQ(UnknownProfileText("x", {"a", "b", "c"}),
              "unknown profile name 'x'; did you mean 'a', 'b' or 'c'?");
}

} // namespace
