// Display profile lines and files: both line forms, number notations, comments, pieces
// of long lines, line ends of either kind, and the list's order and lifetime.
#include "display_profiles.h"
#include "readers_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace readers_test;

struct LineCase {
    std::string line;
    bool valid;
    std::string name;
    std::uint16_t layout;
    std::uint8_t depth;
    std::string description;
};

TEST(ParseProfileLine, BothFormsAndTheirEdges) {
    const LineCase cases[] = {
        {"oled 18 ; 4 Grey OLED", true, "oled", 18, 4, "Grey OLED"},
        {"oled 0x12 ; 4 Grey OLED", true, "oled", 18, 4, "Grey OLED"},
        {"oled 0X12;4 Grey OLED", true, "oled", 18, 4, "Grey OLED"},
        {"oled 022 ; 4 Grey OLED", true, "oled", 18, 4, "Grey OLED"},
        {"oled 18;04\tGrey  OLED  ", true, "oled", 18, 4, "Grey  OLED  "},
        {"lcd 5", true, "lcd", 5, 1, ""},
        {"lcd 5 Nokia LCD", true, "lcd", 5, 1, "Nokia LCD"},
        {"lcd 5 ;", true, "lcd", 5, 1, ";"},
        {"lcd 5 ; x", true, "lcd", 5, 1, "; x"},
        {"lcd 5 ; 8", true, "lcd", 5, 8, ""},
        {"lcd 65537 ; 257 wrapped", true, "lcd", 1, 1, "wrapped"},
        {"lcd -1 ; -2 negative", true, "lcd", 0xFFFF, 0xFE, "negative"},
        {"lcd 09", true, "lcd", 0, 1, "9"},
        {"lcd 0x", true, "lcd", 0, 1, "x"},
        {"  \t\x01lcd 7 # not a comment", true, "lcd", 7, 1, "# not a comment"},
        {"lcd#2 3", true, "lcd#2", 3, 1, ""},
        {"lcd #3", false, "", 0, 0, ""},
        {"lcd oled 3", false, "", 0, 0, ""},
        {"lcd", false, "", 0, 0, ""},
        {"# lcd 5", false, "", 0, 0, ""},
        {" \t #lcd 5", false, "", 0, 0, ""},
        {"", false, "", 0, 0, ""},
        {"  \x1f ", false, "", 0, 0, ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<DisplayProfile> profile = ParseProfileLine(c.line);
        ASSERT_EQ(profile.has_value(), c.valid);
        if (!c.valid) {
            continue;
        }
        EXPECT_EQ(profile->name, c.name);
        EXPECT_EQ(profile->layout, c.layout);
        EXPECT_EQ(profile->depth, c.depth);
        EXPECT_EQ(profile->description, c.description);
    }
}

// Typing mistakes: the line reads as it always did, and each fault is named.
TEST(ParseProfileLine, FaultsAreNamedAndTheLineReadsAsBefore) {
    const struct {
        std::string line;
        bool valid;
        std::uint16_t layout;
        std::uint8_t depth;
        std::string description;
        std::vector<std::string> faults;
    } cases[] = {
        {"myepd 0x0G ; 1",
         true,
         0,
         1,
         "G ; 1",
         {"lay-out code '0x0G' is not a number; read as 0x0"}},
        {"lcd 09", true, 0, 1, "9", {"lay-out code '09' is not a number; read as 0"}},
        {"lcd 5 ; x",
         true,
         5,
         1,
         "; x",
         {"no depth after \";\"; read as depth 1 with the rest as description"}},
        {"lcd 5 ; 1x Nokia", true, 5, 1, "x Nokia", {"depth '1x' is not a number; read as 1"}},
        {"lcd 65537 ; 257 wrapped",
         true,
         1,
         1,
         "wrapped",
         {"depth 257 does not fit in 8 bits", "lay-out code 65537 does not fit in 16 bits"}},
        {"lcd 3 ; 3 odd",
         true,
         3,
         3,
         "odd",
         {"depth 3 is not one the tools write (1, 2, 4, 8, 16 or 24)"}},
        {"lcd oled 3",
         false,
         0,
         0,
         "",
         {"not a profile line (NAME LAYOUT [; DEPTH] [DESCRIPTION]); skipped"}},
        {"lcd",
         false,
         0,
         0,
         "",
         {"not a profile line (NAME LAYOUT [; DEPTH] [DESCRIPTION]); skipped"}},
        {"oled 0X12;4 Grey OLED", true, 18, 4, "Grey OLED", {}},
        {"lcd 7 # not a comment", true, 7, 1, "# not a comment", {}},
        {"# lcd x", false, 0, 0, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> faults;
        const std::optional<DisplayProfile> profile = ParseProfileLine(c.line, &faults);
        EXPECT_EQ(faults, c.faults);
        ASSERT_EQ(profile.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(profile->layout, c.layout);
            EXPECT_EQ(profile->depth, c.depth);
            EXPECT_EQ(profile->description, c.description);
        }
    }
}

// Settings between the depth and the description: the panel's size and palette.
TEST(ParseProfileLine, SettingsBeforeTheDescription) {
    const Palette bwr = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
    const struct {
        std::string line;
        std::uint8_t depth;
        std::uint16_t width;
        std::uint16_t height;
        Palette palette;
        std::string settings;
        std::string description;
        std::size_t faults;
    } cases[] = {
        {"ssd1306 0x06 ; 1 size=128x64 OLED 128 x 64",
         1,
         128,
         64,
         {},
         "size=128x64",
         "OLED 128 x 64",
         0},
        {"epd 0x08 ; 2 palette=bwr size=296x128 Red e-paper", 2, 296, 128, bwr,
         "palette=bwr size=296x128", "Red e-paper", 0},
        {"epd 0 ; 2 palette=#000000,#FFFFFF,#ff0000", 2, 0, 0, bwr,
         "palette=#000000,#FFFFFF,#ff0000", "", 0},
        {"lcd 6 size=84x48 Nokia", 1, 84, 48, {}, "size=84x48", "Nokia", 0},
        {"lcd 6 ; 1 Size=84x48", 1, 0, 0, {}, "", "Size=84x48", 0},
        {"lcd 6 ; 1 size=84 Nokia", 1, 0, 0, {}, "size=84", "Nokia", 1},
        {"lcd 6 ; 1 size=0x48", 1, 0, 0, {}, "size=0x48", "", 1},
        {"lcd 6 ; 1 size=32768x1", 1, 0, 0, {}, "size=32768x1", "", 1},
        {"epd 0 ; 1 palette=bwr", 1, 0, 0, {}, "palette=bwr", "", 1}, // 3 colours at depth 1
        {"tft 0 ; 16 palette=bw", 16, 0, 0, {}, "palette=bw", "", 1},
        {"epd 0 ; 2 palette=rainbow", 2, 0, 0, {}, "palette=rainbow", "", 1},
        {"epd 0 ; 2 palette=#00000 x", 2, 0, 0, {}, "palette=#00000", "x", 1},
        {"epd 0 ; 2 rotate=90 Panel", 2, 0, 0, {}, "rotate=90", "Panel", 1},
        {"epd 0 ; 2 palette=bwr shows=#111111,#EEEEEE,#AA2222 Red", 2, 0, 0, bwr,
         "palette=bwr shows=#111111,#EEEEEE,#AA2222", "Red", 0},
        {"epd 0 ; 2 shows=#111111 palette=bwr", 2, 0, 0, bwr, "shows=#111111 palette=bwr", "", 1},
        {"epd 0 ; 2 palette=bwr shows=grey", 2, 0, 0, bwr, "palette=bwr shows=grey", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> faults;
        const std::optional<DisplayProfile> profile = ParseProfileLine(c.line, &faults);
        ASSERT_TRUE(profile.has_value());
        EXPECT_EQ(profile->depth, c.depth);
        EXPECT_EQ(profile->panelWidth, c.width);
        EXPECT_EQ(profile->panelHeight, c.height);
        EXPECT_EQ(profile->palette, c.palette);
        EXPECT_EQ(profile->settings, c.settings);
        EXPECT_EQ(profile->description, c.description);
        EXPECT_EQ(faults.size(), c.faults);
        // A known setting whose value cannot be read makes the profile unusable; an
        // unknown one is passed over.
        EXPECT_EQ(profile->unusable.empty(), c.faults == 0 || c.settings.starts_with("rotate"));
        EXPECT_EQ(profile->shows.size(),
                  c.faults == 0 && c.settings.find("shows=") != std::string::npos ? 3u : 0u);
    }
}

TEST(ParseProfileLine, BackgroundSetting) {
    const struct {
        const char* line;
        std::optional<std::uint8_t> background;
        std::string description;
        std::size_t faults;
    } cases[] = {
        {"oled 6 ; 1 size=128x64 background=black OLED", 0, "OLED", 0},
        {"epd 0 ; 1 background=white", 255, "", 0},
        {"lcd 0 ; 1 Panel", std::nullopt, "Panel", 0},
        {"oled 6 ; 1 background=grey OLED", std::nullopt, "OLED", 1},
        {"oled 6 ; 1 background=Black", std::nullopt, "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> faults;
        const std::optional<DisplayProfile> profile = ParseProfileLine(c.line, &faults);
        ASSERT_TRUE(profile.has_value());
        EXPECT_EQ(profile->background, c.background);
        EXPECT_EQ(profile->description, c.description);
        EXPECT_EQ(faults.size(), c.faults);
    }
}

TEST(ParseProfileLine, LongNameIsCutAndTheLineStillCounts) {
    const std::string name(200, 'n');
    const std::optional<DisplayProfile> profile = ParseProfileLine(name + " 3 ; 8 Long");
    ASSERT_TRUE(profile.has_value());
    EXPECT_EQ(profile->name, std::string(127, 'n'));
    EXPECT_EQ(profile->layout, 3);
    EXPECT_EQ(profile->depth, 8);
    EXPECT_EQ(profile->description, "Long");
}

TEST(ProfileText, DescriptionOrName) {
    DisplayProfile profile;
    profile.name = "oled";
    EXPECT_EQ(ProfileText(profile), "oled");
    profile.description = "128 x 64 OLED";
    EXPECT_EQ(ProfileText(profile), "128 x 64 OLED");
}

struct Entry {
    std::string name;
    std::uint16_t layout;
    std::uint8_t depth;
    std::string description;
    bool operator==(const Entry&) const = default;
};

class DisplayProfilesFile : public ::testing::Test {
  protected:
    std::vector<Entry> ListEntries() const {
        std::vector<Entry> entries;
        for (const DisplayProfile& p : profiles) {
            entries.push_back({p.name, p.layout, p.depth, p.description});
        }
        return entries;
    }
    DisplayProfileList profiles;
};

const std::string THREE_PROFILES = "# displays\n"
                                   "\n"
                                   "oled 2 ; 1 OLED 128x64 \n"
                                   "   # indented comment\n"
                                   "bad words here\n"
                                   "grey 0 ; 8\n"
                                   "matrix 0x15 Matrix, reversed";

const std::vector<Entry> THREE_ENTRIES = {
    {"oled", 2, 1, "OLED 128x64 "},
    {"grey", 0, 8, ""},
    {"matrix", 0x15, 1, "Matrix, reversed"},
};

TEST_F(DisplayProfilesFile, LoadsValidLinesInFileOrderAndAppends) {
    const std::string path = WriteScratchFile("three.prf", THREE_PROFILES);
    EXPECT_TRUE(LoadDisplayProfiles(path, profiles).Ok());
    EXPECT_EQ(ListEntries(), THREE_ENTRIES);

    EXPECT_TRUE(LoadDisplayProfiles(path, profiles).Ok());
    std::vector<Entry> twice = THREE_ENTRIES;
    twice.insert(twice.end(), THREE_ENTRIES.begin(), THREE_ENTRIES.end());
    EXPECT_EQ(ListEntries(), twice);

    FreeDisplayProfiles(profiles);
    EXPECT_TRUE(profiles.empty());
}

TEST_F(DisplayProfilesFile, CarriageReturnLineEndsReadLikeLineFeeds) {
    std::string crlf;
    for (char c : THREE_PROFILES) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    EXPECT_TRUE(LoadDisplayProfiles(WriteScratchFile("crlf.prf", crlf), profiles).Ok());
    EXPECT_EQ(ListEntries(), THREE_ENTRIES);
}

TEST_F(DisplayProfilesFile, LongLinesComeInPiecesOf255) {
    // 255 characters make the first piece; the rest of the line is a line of its own.
    const std::string first = "wide 3 " + std::string(248, 'd');
    ASSERT_EQ(first.size(), 255u);
    const std::string content =
        first + "tail 9 ; 2 cut\r\n" + std::string(255, 'x') + "\r\n" + "last 4\n";
    EXPECT_TRUE(LoadDisplayProfiles(WriteScratchFile("long.prf", content), profiles).Ok());
    const std::vector<Entry> expected = {
        {"wide", 3, 1, std::string(248, 'd')},
        {"tail", 9, 2, "cut"},
        {"last", 4, 1, ""},
    };
    EXPECT_EQ(ListEntries(), expected);
}

TEST_F(DisplayProfilesFile, WarningsNameTheFileAndTheLine) {
    const std::string content = "# profiles\r\n"
                                "good 6 ; 1 Fine\r\n"
                                "myepd 0x0G ; 1\n" +
                                std::string(300, 'w') + "\n" + "last 4 ; 8\n";
    const std::string path = WriteScratchFile("typo.prf", content);
    MessageRecorder messages;
    const MessageSink sink = messages.Sink();
    ASSERT_TRUE(LoadDisplayProfiles(path, profiles, &sink).Ok());
    const std::string at = "WARNING: profile file '" + path + "', line ";
    EXPECT_EQ(messages.Messages(),
              (std::vector<std::string>{
                  at + "3: lay-out code '0x0G' is not a number; read as 0x0\n",
                  at + "4: not a profile line (NAME LAYOUT [; DEPTH] [DESCRIPTION]); skipped\n",
                  at + "4: longer than 255 characters; the rest of the line is read as a line of "
                       "its own\n",
                  at + "4: not a profile line (NAME LAYOUT [; DEPTH] [DESCRIPTION]); skipped\n",
              }));
    EXPECT_EQ(
        ListEntries(),
        (std::vector<Entry>{{"good", 6, 1, "Fine"}, {"myepd", 0, 1, "G ; 1"}, {"last", 4, 8, ""}}));
}

TEST_F(DisplayProfilesFile, TextInMemoryReadsAsTheSameFile) {
    // The web page reads the bundled file and the user's own from their text: the same
    // profiles and the same warnings, the name standing for the file's path.
    const std::string cases[] = {
        THREE_PROFILES,
        "a 1\r\nb 0x0G ; 1\r\n" + std::string(300, 'w') + "\nlast 4 ; 8",
        "end 2 ; 4 no line feed\r",
        std::string("nul 3\0 after\nx 9 ; 3\n", 22),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        const std::string path = WriteScratchFile("same.prf", text);
        MessageRecorder fromFile;
        const MessageSink fileSink = fromFile.Sink();
        DisplayProfileList read;
        ASSERT_TRUE(LoadDisplayProfiles(path, read, &fileSink).Ok());
        MessageRecorder fromText;
        const MessageSink textSink = fromText.Sink();
        LoadDisplayProfilesFromText(text, path, profiles, &textSink);
        ASSERT_EQ(profiles.size(), read.size());
        for (std::size_t k = 0; k < read.size(); ++k) {
            EXPECT_EQ(profiles[k].name, read[k].name);
            EXPECT_EQ(profiles[k].layout, read[k].layout);
            EXPECT_EQ(profiles[k].depth, read[k].depth);
            EXPECT_EQ(profiles[k].description, read[k].description);
            EXPECT_EQ(profiles[k].settings, read[k].settings);
        }
        EXPECT_EQ(fromText.Messages(), fromFile.Messages());
        FreeDisplayProfiles(profiles);
    }
}

TEST_F(DisplayProfilesFile, MissingFileNamesItWithTheReasonAndLeavesTheList) {
    ASSERT_TRUE(LoadDisplayProfiles(WriteScratchFile("one.prf", "one 1\n"), profiles).Ok());
    const std::string missing = (ScratchFolder() / "missing.prf").string();
    const Outcome loaded = LoadDisplayProfiles(missing, profiles);
    EXPECT_EQ(loaded.code, OutcomeCode::CannotOpenProfiles);
    EXPECT_EQ(loaded.file, missing);
    EXPECT_TRUE(loaded.reason) << "the system says why";
    EXPECT_EQ(ListEntries(), (std::vector<Entry>{{"one", 1, 1, ""}}));
}

TEST_F(DisplayProfilesFile, BundledProfilesAreAllValid) {
    // Every line that is neither blank nor a comment must make an entry.
    const std::string path = std::string(ZENTRA_TEST_DATA) + "/../../data/displays.prf";
    std::ifstream in(path);
    std::size_t profileLines = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        profileLines += first != std::string::npos && line[first] != '#' ? 1 : 0;
    }
    MessageRecorder messages;
    const MessageSink sink = messages.Sink();
    ASSERT_TRUE(LoadDisplayProfiles(path, profiles, &sink).Ok());
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{});
    ASSERT_GE(profileLines, 10u);
    ASSERT_EQ(profiles.size(), profileLines);
    std::set<std::pair<int, int>> greyOrders; // (depth, order) of the 2- and 4-bit profiles
    int sized = 0;
    for (const DisplayProfile& p : profiles) {
        SCOPED_TRACE(p.name);
        EXPECT_FALSE(p.description.empty());
        EXPECT_TRUE(p.depth == 1 || p.depth == 2 || p.depth == 4 || p.depth == 8 || p.depth == 16 ||
                    p.depth == 24);
        EXPECT_EQ(p.layout & ~0x1F, 0); // order, reversed, planar and inverted-Y bits only
        if ((p.layout & 0x08) != 0) {   // planar: bit planes exist at depths 2, 4 and 8
            EXPECT_TRUE(p.depth == 2 || p.depth == 4 || p.depth == 8);
        }
        // A panel's palette is what its profile lists, within what its depth holds, and
        // every bundled profile can be used; e-paper palettes come with measured colours.
        EXPECT_LE(p.palette.size(), p.depth <= 8 ? std::size_t{1} << p.depth : 0);
        EXPECT_EQ(p.unusable, "");
        EXPECT_EQ(p.shows.size(), p.palette.size());
        if (p.depth == 2 || p.depth == 4) {
            greyOrders.insert({p.depth, p.layout & 0x03});
        }
        // A panel size is the one its description names.
        if (p.panelWidth != 0) {
            const std::string size =
                std::to_string(p.panelWidth) + " x " + std::to_string(p.panelHeight);
            EXPECT_NE(p.description.find(size), std::string::npos) << size;
            ++sized;
        }
    }
    // The common panels have their sizes, for "ztr convert --resize panel": a profile whose
    // description names one size gives it, and one that names several has a profile of
    // each, named after it ("st7789_240x240").
    for (const DisplayProfile& p : profiles) {
        SCOPED_TRACE(p.name);
        std::vector<std::string> sizes;
        const std::regex size("([0-9]+) x ([0-9]+)");
        for (auto m = std::sregex_iterator(p.description.begin(), p.description.end(), size);
             m != std::sregex_iterator(); ++m) {
            sizes.push_back((*m)[1].str() + "x" + (*m)[2].str());
        }
        if (sizes.size() == 1) {
            EXPECT_NE(p.panelWidth, 0);
        }
        for (std::size_t k = 0; sizes.size() > 1 && k < sizes.size(); ++k) {
            EXPECT_TRUE(std::any_of(profiles.begin(), profiles.end(), [&](const DisplayProfile& q) {
                return q.name == p.name + "_" + sizes[k] && q.layout == p.layout &&
                       q.depth == p.depth;
            })) << sizes[k];
        }
        // Panels that light their pixels are black where they show nothing.
        const bool lit = p.description.find("OLED") != std::string::npos ||
                         p.description.find("LED matrix") != std::string::npos;
        EXPECT_EQ(p.background, lit ? std::optional<std::uint8_t>(0) : std::nullopt);
    }
    EXPECT_GE(sized, 15);
    // Every grey packer can be chosen: each order at depths 2 and 4.
    EXPECT_EQ(greyOrders.size(), 8u);
}

} // namespace
