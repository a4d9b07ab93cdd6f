// Each picture of a run is decoded once, whatever the number of display types: the count
// of decodings equals the number of pictures for one type and for five (grey, colour, a
// palette, panels on black and on white); each distinct shaping is done once; and a file
// for several types holds, byte for byte, the records that the runs for each type alone
// write.
#include "conversion_request.h"
#include "file_request.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

struct ReadCountCase {
    const char* what;
    std::vector<std::string> pictures; // files of the test data
    bool animation;
    std::vector<std::string> outputs;
};

std::vector<DisplayTarget> Targets() {
    std::vector<DisplayTarget> targets(5);
    targets[0].typeCode = 0x10006; // 1 bit, banded rows reversed
    targets[0].panel.background = 0;
    targets[1].typeCode = 0x80000; // 8-bit grey, on white
    targets[1].panel.background = 255;
    targets[2].typeCode = 0x100004; // 16-bit colour, on black
    targets[2].panel.background = 0;
    targets[3].typeCode = 0x20008; // 2 bits with a palette
    targets[3].palette = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
    // Column order instead of banded rows: shaped as type 0 is, so its pictures are not
    // shaped again.
    targets[4].typeCode = 0x10002;
    targets[4].panel.background = 0;
    return targets;
}

TEST(DecodedPicturesTest, EachPictureIsDecodedOnceForAnyNumberOfTypes) {
    const ReadCountCase cases[] = {
        {"one file each",
         {"pil_colour7x5_rgba.png", "im_anim9x7.gif", "im_grey7x5.png"},
         false,
         {"pil_colour7x5_rgba.ztr", "im_anim9x7.ztr", "im_grey7x5.ztr"}},
        {"an animation of a GIF and a picture",
         {"im_anim9x7.gif", "pil_anim9x7_frame2.pgm"},
         true,
         {"im_anim9x7.ztr"}},
    };
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    for (const ReadCountCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder("decoded_once");
        std::vector<std::string> paths;
        for (const std::string& picture : c.pictures) {
            paths.push_back(folder.File(picture));
            std::filesystem::copy_file(data / picture, paths.back());
        }
        ConversionRequest request = writer_test::FileRequest(paths, {}, c.animation);
        std::vector<std::string> decoded;
        int shaped = 0;
        int shapedAlone = 0;
        int shapedLastAlone = 0;
        ConversionEnvironment environment;
        environment.pictureShaped = [&shaped] { ++shaped; };
        environment.pictureDecoded = [&decoded](const std::string& name) {
            decoded.push_back(name);
        };
        // Each type alone: one decoding per picture, and the records of that type.
        std::vector<Bytes> together(c.outputs.size());
        for (const DisplayTarget& target : Targets()) {
            request.targets = {target};
            decoded.clear();
            shaped = 0;
            ASSERT_EQ(RunConversion(request, environment), Outcome{});
            EXPECT_EQ(decoded, paths);
            shapedAlone += shaped;
            shapedLastAlone = shaped;
            for (std::size_t k = 0; k < c.outputs.size(); ++k) {
                const Bytes file = writer_test::ReadWholeFile(folder.File(c.outputs[k]));
                together[k].insert(together[k].end(), file.begin(), file.end());
            }
        }
        // All five types: still one decoding per picture, the same records in order, and
        // the pictures of the last type, shaped as the first's, not shaped again.
        request.targets = Targets();
        decoded.clear();
        shaped = 0;
        ASSERT_EQ(RunConversion(request, environment), Outcome{});
        EXPECT_EQ(decoded, paths);
        EXPECT_GT(shapedLastAlone, 0);
        EXPECT_EQ(shaped, shapedAlone - shapedLastAlone);
        for (std::size_t k = 0; k < c.outputs.size(); ++k) {
            EXPECT_EQ(writer_test::ReadWholeFile(folder.File(c.outputs[k])), together[k])
                << c.outputs[k];
        }
    }
}

} // namespace
