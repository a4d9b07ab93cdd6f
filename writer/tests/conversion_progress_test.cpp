// The conversion's hooks: progress after every frame of every type (and cancelling from
// it), the temporary file's notices, and each display type's panel (resizing to it, or a
// warning about a picture larger than it).
#include "conversion_request.h"
#include "convert_images.h"
#include "file_request.h"

#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

// An asymmetric 11 x 3 grey picture; the second one differs in one pixel.
Bytes PgmBytes(std::uint8_t changed) {
    const std::string header = "P5\n11 3\n255\n";
    Bytes bytes(header.begin(), header.end());
    for (int i = 0; i < 33; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i * 37 % 256));
    }
    bytes.back() = changed;
    return bytes;
}

// frames done, frames, types done, types, pictures done, pictures
using Step =
    std::tuple<std::size_t, std::size_t, std::size_t, std::size_t, std::size_t, std::size_t>;

TEST(ConversionProgressTest, CountsFramesTypesAndFiles) {
    ScratchFolder folder("progress");
    const std::string a = folder.File("a.pgm");
    const std::string b = folder.File("b.pgm");
    writer_test::WriteWholeFile(a, PgmBytes(0));
    writer_test::WriteWholeFile(b, PgmBytes(255));
    const std::vector<std::uint32_t> codes = {MakeTypeCode(0x06, 1), MakeTypeCode(0x00, 8)};
    const struct {
        bool animation;
        std::vector<Step> steps;
    } cases[] = {
        // a, b and a again, for each type.
        {true,
         {{1, 3, 0, 2, 0, 1},
          {2, 3, 0, 2, 0, 1},
          {3, 3, 0, 2, 0, 1},
          {1, 3, 1, 2, 0, 1},
          {2, 3, 1, 2, 0, 1},
          {3, 3, 1, 2, 0, 1}}},
        // One file per picture, each with a frame for each type.
        {false, {{1, 1, 0, 2, 0, 2}, {1, 1, 1, 2, 0, 2}, {1, 1, 0, 2, 1, 2}, {1, 1, 1, 2, 1, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.animation);
        std::vector<Step> steps;
        ConversionEnvironment environment;
        environment.progress = [&steps](const ConversionProgress& p) {
            steps.emplace_back(p.framesDone, p.frames, p.typesDone, p.types, p.picturesDone,
                               p.pictures);
            return true;
        };
        ASSERT_EQ(
            RunConversion(writer_test::FileRequest({a, b}, codes, c.animation, 10), environment),
            Outcome{});
        EXPECT_EQ(steps, c.steps);
    }
}

// Cancelling at any step writes nothing, keeps an existing output, removes the temporary
// file and says nothing; the temporary file's notices come in pairs around its life.
TEST(ConversionProgressTest, CancellingLeavesEveryFileAsItWas) {
    ScratchFolder folder("cancel");
    const std::string a = folder.File("a.pgm");
    const std::string b = folder.File("b.pgm");
    writer_test::WriteWholeFile(a, PgmBytes(0));
    writer_test::WriteWholeFile(b, PgmBytes(255));
    writer_test::WriteWholeFile(folder.File("a.ztr"), "old");
    for (const std::size_t stopAt : {1u, 3u, 4u, 6u}) {
        SCOPED_TRACE(stopAt);
        writer_test::MessageRecorder messages;
        ConversionEnvironment context{messages.Sink()};
        std::size_t calls = 0;
        context.progress = [&calls, stopAt](const ConversionProgress&) { return ++calls < stopAt; };
        std::vector<std::pair<std::string, TemporaryFileEvent>> notices;
        std::vector<bool> existed; // whether the file existed at each notice
        context.temporaryFile = [&](const std::string& path, TemporaryFileEvent event) {
            notices.emplace_back(path, event);
            existed.push_back(std::filesystem::exists(path));
        };
        EXPECT_EQ(
            RunConversion(writer_test::FileRequest(
                              {a, b}, {MakeTypeCode(0x06, 1), MakeTypeCode(0x00, 8)}, true, 10),
                          context),
            Outcome{.code = OutcomeCode::Cancelled});
        EXPECT_EQ(calls, stopAt);
        EXPECT_TRUE(messages.Messages().empty());
        EXPECT_EQ(writer_test::ReadWholeFile(folder.File("a.ztr")), Bytes({'o', 'l', 'd'}));
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.pgm", "a.ztr", "b.pgm"}));
        const std::string temporary = folder.File("~zt0.tmp");
        using Event = TemporaryFileEvent;
        EXPECT_EQ(notices, (std::vector<std::pair<std::string, Event>>{{temporary, Event::Creating},
                                                                       {temporary, Event::Created},
                                                                       {temporary, Event::Ending},
                                                                       {temporary, Event::Gone}}));
        EXPECT_EQ(existed, (std::vector<bool>{false, true, true, false}));
    }
}

// The width and height of every record of a file, walked by record length.
std::vector<std::pair<int, int>> RecordSizes(const Bytes& file) {
    std::vector<std::pair<int, int>> sizes;
    for (std::size_t at = 0; at + 12 <= file.size();) {
        sizes.emplace_back(file[at + 8] | file[at + 9] << 8, file[at + 10] | file[at + 11] << 8);
        at += file[at] | file[at + 1] << 8 | file[at + 2] << 16;
    }
    return sizes;
}

TEST(ConversionProgressTest, EachTypeMeetsItsPanel) {
    ScratchFolder folder("panels");
    const std::string a = folder.File("a.pgm");
    writer_test::WriteWholeFile(a, PgmBytes(0));
    const std::string larger =
        "WARNING: picture '" + a + "' is 11 x 3, larger than the 4 x 5 panel of 'narrow'\n";
    const struct {
        std::vector<TypePanel> panels; // for the types 0x10006, 0x80000, 0x100004
        std::vector<std::pair<int, int>> sizes;
        std::vector<std::string> messages;
    } cases[] = {
        {{}, {{11, 3}, {11, 3}, {11, 3}}, {}},
        {{{"narrow", 4, 5, false}}, {{11, 3}, {11, 3}, {11, 3}}, {larger}},
        {{{"wide", 11, 2, false}, {"exact", 11, 3, false}, {"big", 12, 4, false}},
         {{11, 3}, {11, 3}, {11, 3}},
         {"WARNING: picture '" + a + "' is 11 x 3, larger than the 11 x 2 panel of 'wide'\n"}},
        // Resized to each panel: 128 x 64 pages, a 7 x 5 grey panel, a 240 x 240 colour one.
        {{{"oled", 128, 64, true}, {"small", 7, 5, true}, {"tft", 240, 240, true}},
         {{128, 64}, {7, 5}, {240, 240}},
         {}},
        {{{"oled", 128, 64, true}, {}, {"narrow", 4, 5, false}},
         {{128, 64}, {11, 3}, {11, 3}},
         {larger}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizes[0].first);
        writer_test::MessageRecorder messages;
        ConversionRequest request = writer_test::FileRequest(
            {a}, {MakeTypeCode(0x06, 1), MakeTypeCode(0x00, 8), MakeTypeCode(0x04, 16)}, false);
        for (std::size_t k = 0; k < c.panels.size(); ++k) {
            request.targets[k].panel = c.panels[k];
        }
        ASSERT_EQ(RunConversion(request, {messages.Sink()}), Outcome{});
        EXPECT_EQ(RecordSizes(writer_test::ReadWholeFile(folder.File("a.ztr"))), c.sizes);
        EXPECT_EQ(messages.Messages(), c.messages);
    }
}

} // namespace
