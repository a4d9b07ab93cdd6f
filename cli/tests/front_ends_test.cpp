// The three front ends build one request for the same pictures and options: ztr convert,
// the converter's "&Convert" (its request builder) and the web page's way (the pictures'
// bytes, the files kept in memory) write byte-identical files, a GIF's own delays among
// them when no delay is given.
#include "conversion_request.h"
#include "dialog_request.h"
#include "display_profiles.h"
#include "type_code.h"
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::filesystem::path TEST_DATA = ZENTRA_TEST_DATA;

// A profile with a palette (converter and ztr both take it) and one without.
const std::string PROFILES = "tri 0x08 ; 2 palette=bwr shows=#191E21,#E8E8E8,#B21318\n"
                             "grey 0x06 ; 4\n";

struct SameFilesCase {
    const char* what;
    std::vector<std::string> pictures; // files of the test data
    std::vector<std::string> types;    // profile names
    bool animation;
    std::optional<int> delay; // --delay, the delay field (absent: 0) and the request's
    std::vector<std::string> outputs;
};

Bytes FileBytes(const std::filesystem::path& path) {
    const std::string text = ReadWholeFile(path);
    return Bytes(text.begin(), text.end());
}

TEST(FrontEndsTest, ZtrConverterAndPageWriteTheSameFiles) {
    const SameFilesCase cases[] = {
        {"GIF keeps its delays",
         {"im_anim9x7.gif"},
         {"grey", "tri"},
         true,
         std::nullopt,
         {"im_anim9x7.ztr"}},
        {"GIF with one delay", {"im_anim9x7.gif"}, {"tri"}, true, 120, {"im_anim9x7.ztr"}},
        {"pictures and a GIF, animation",
         {"pil_anim9x7_frame1.pgm", "im_anim9x7.gif", "pil_anim9x7_frame3.pgm"},
         {"grey"},
         true,
         std::nullopt,
         {"pil_anim9x7_frame1.ztr"}},
        {"one file per picture",
         {"im_colour7x5_raw.ppm", "im_grey7x5.png"},
         {"tri", "grey"},
         false,
         std::nullopt,
         {"im_colour7x5_raw.ztr", "im_grey7x5.ztr"}},
    };
    for (const SameFilesCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDirectory ztrFolder("front-ends-ztr");
        ScratchDirectory dialogFolder("front-ends-dialog");
        WriteWholeFile(ztrFolder / "profiles.prf", PROFILES);
        std::vector<std::string> args{"convert", "--profiles", "profiles.prf"};
        for (const std::string& type : c.types) {
            args.insert(args.end(), {"--type", type});
        }
        if (c.animation) {
            args.push_back("--animation");
        }
        if (c.delay) {
            args.insert(args.end(), {"--delay", std::to_string(*c.delay)});
        }
        std::vector<std::string> dialogPaths;
        ConversionRequest page;
        for (const std::string& picture : c.pictures) {
            std::filesystem::copy_file(TEST_DATA / picture, ztrFolder / picture);
            std::filesystem::copy_file(TEST_DATA / picture, dialogFolder / picture);
            args.push_back(picture);
            dialogPaths.push_back((dialogFolder / picture).string());
            page.pictures.push_back(
                {picture, std::make_shared<const Bytes>(FileBytes(TEST_DATA / picture))});
        }
        const ZtrResult ztr = RunZtr(args, ztrFolder.path());
        ASSERT_EQ(ztr.status, 0) << ztr.err;

        DisplayProfileList profiles;
        LoadDisplayProfilesFromText(PROFILES, "profiles.prf", profiles);
        std::vector<std::uint32_t> codes;
        std::vector<const DisplayProfile*> typeProfiles;
        for (const std::string& type : c.types) {
            const DisplayProfile& profile = type == "tri" ? profiles[0] : profiles[1];
            codes.push_back(MakeTypeCode(profile.layout, profile.depth));
            typeProfiles.push_back(&profile);
        }
        const ConversionRequest dialog = DialogRequest(dialogPaths, codes, typeProfiles,
                                                       c.animation, c.delay.value_or(0), {}, {});
        ASSERT_EQ(RunConversion(dialog, {}), Outcome{});

        page.targets = dialog.targets;
        page.animation = c.animation;
        page.delay = c.delay;
        std::vector<FileInMemory> kept;
        ConversionEnvironment memory;
        memory.files = &kept;
        ASSERT_EQ(RunConversion(page, memory), Outcome{});

        ASSERT_EQ(kept.size(), c.outputs.size());
        for (std::size_t k = 0; k < c.outputs.size(); ++k) {
            const Bytes fromZtr = FileBytes(ztrFolder / c.outputs[k]);
            EXPECT_GT(fromZtr.size(), 24u);
            EXPECT_EQ(FileBytes(dialogFolder / c.outputs[k]), fromZtr) << c.outputs[k];
            EXPECT_EQ(kept[k].name, c.outputs[k]);
            EXPECT_EQ(kept[k].bytes, fromZtr) << c.outputs[k];
        }
    }
}

} // namespace
