// ztr convert and the panels of the display types: --resize panel gives each type's
// records its profile's size, types without one are a command-line error, and a picture
// larger than a panel it is not resized to is warned about.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string GreyPgm(int width, int height) {
    std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int i = 0; i < width * height; ++i) {
        bytes += static_cast<char>(i * 29 % 256);
    }
    return bytes;
}

// The "W x H" that starts every line of ztr list.
std::vector<std::string> ListedSizes(const fs::path& dir, const std::string& file) {
    const ZtrResult list = RunZtr({"list", file}, dir);
    std::vector<std::string> sizes;
    std::size_t at = 0;
    while (at < list.out.size()) {
        const std::size_t end = list.out.find('\n', at);
        const std::string line = list.out.substr(at, end - at);
        const std::size_t second = line.find(' ', line.find(' ', line.find(' ') + 1) + 1);
        std::string size = line.substr(0, second);
        if (size.ends_with(',')) {
            size.pop_back(); // "24 x 20, colour depth 16 bits"
        }
        sizes.push_back(size);
        at = end + 1;
    }
    return sizes;
}

TEST(ZtrPanels, ResizePanelGivesEachTypeItsSize) {
    ScratchDirectory dir("panel");
    WriteWholeFile(dir / "pic.pgm", GreyPgm(13, 7));
    WriteWholeFile(dir / "wide.pgm", GreyPgm(130, 9));
    WriteWholeFile(dir / "my.prf", "oled 0x06 ; 1 size=128x64 OLED\n"
                                   "tft 0x04 ; 16 size=24x20 Small TFT\n"
                                   "nosize 0 ; 8 A frame buffer\n"
                                   "portrait 0 ; 1 size=10x140 Portrait strip\n");
    const fs::path bundled = fs::path(ZENTRA_TEST_DATA) / ".." / ".." / "data" / "displays.prf";
    const struct {
        std::vector<std::string> args; // after "convert --profiles PRF"
        int status;
        std::vector<std::string> sizes; // of pic.ztr's records
        std::string err;
    } cases[] = {
        {{"--resize", "panel", "--type", "oled", "--type", "tft", "pic.pgm"},
         0,
         {"128 x 64", "24 x 20"},
         ""},
        {{"--type", "oled", "--type", "nosize", "pic.pgm"}, 0, {"13 x 7", "13 x 7"}, ""},
        // The last --resize counts.
        {{"--resize", "200x100", "--resize", "panel", "--type", "tft", "pic.pgm"},
         0,
         {"24 x 20"},
         ""},
        {{"--resize", "panel", "--resize", "20x10", "--type", "tft", "--type", "nosize", "pic.pgm"},
         0,
         {"20 x 10", "20 x 10"},
         ""},
        {{"--resize", "panel", "--type", "oled", "--type", "nosize", "pic.pgm"},
         2,
         {},
         "ztr: --resize panel: the display type 'nosize' has no panel size (size=WxH in its "
         "profile)\n"},
        {{"--resize", "panel", "--type", "oled", "--code", "0x10006", "pic.pgm"},
         2,
         {},
         "ztr: --resize panel: the type code '0x10006' has no panel size (use --type with a "
         "profile that gives size=WxH)\n"},
        // Larger than a panel it is not resized to: a warning per type, and written.
        {{"--type", "oled", "--type", "tft", "--type", "nosize", "wide.pgm"},
         0,
         {},
         "WARNING: picture 'wide.pgm' is 130 x 9, larger than the 128 x 64 panel of 'oled'\n"
         "WARNING: picture 'wide.pgm' is 130 x 9, larger than the 24 x 20 panel of 'tft'\n"},
        // Resized, the sizes as read and as written; a quarter turn would fit, said how.
        {{"--resize", "25x20", "--type", "tft", "pic.pgm"},
         0,
         {"25 x 20"},
         "WARNING: picture 'pic.pgm' is 25 x 20, larger than the 24 x 20 panel of 'tft'\n"
         "  read at 13 x 7, written at 25 x 20\n"},
        {{"--type", "portrait", "wide.pgm"},
         0,
         {},
         "WARNING: picture 'wide.pgm' is 130 x 9, larger than the 10 x 140 panel of 'portrait'\n"
         "  --rotate 90 turns it to 9 x 130, which fits\n"},
        {{"--rotate", "180", "--type", "portrait", "wide.pgm"},
         0,
         {},
         "WARNING: picture 'wide.pgm' is 130 x 9, larger than the 10 x 140 panel of 'portrait'\n"
         "  --rotate 270 turns it to 9 x 130, which fits\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<std::string> args = {"convert", "--profiles", "my.prf"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ZtrResult result = RunZtr(args, dir.path());
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.err.starts_with(c.err)) << result.err;
        if (c.status == 0) {
            EXPECT_EQ(result.err, c.err);
        }
        if (!c.sizes.empty()) {
            EXPECT_EQ(ListedSizes(dir.path(), "pic.ztr"), c.sizes);
        }
        EXPECT_EQ(fs::exists(dir / "pic.ztr"), !c.sizes.empty());
        fs::remove(dir / "pic.ztr");
    }
    // The bundled profiles: one run makes one file for a 128 x 64 monochrome OLED and a
    // 240 x 240 colour panel.
    const ZtrResult result = RunZtr({"convert", "--profiles", bundled.string(), "--resize", "panel",
                                     "--type", "ssd1306", "--type", "gc9a01", "pic.pgm"},
                                    dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ListedSizes(dir.path(), "pic.ztr"),
              (std::vector<std::string>{"128 x 64", "240 x 240"}));
}

} // namespace
