// The progress line: shown only on a terminal and only after the first second, rewritten
// in place at most ten times a second, padded over a longer line before it, and blanked.
#include "progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using std::chrono::milliseconds;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Written(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    return text;
}

ConversionProgress Progress(std::size_t framesDone, std::size_t frames, std::size_t typesDone,
                            std::size_t types, std::size_t picturesDone = 0,
                            std::size_t pictures = 1) {
    ConversionProgress progress;
    progress.framesDone = framesDone;
    progress.frames = frames;
    progress.typesDone = typesDone;
    progress.types = types;
    progress.picturesDone = picturesDone;
    progress.pictures = pictures;
    return progress;
}

TEST(ProgressLineTest, TextNamesWhatIsDoneOfTheWhole) {
    EXPECT_EQ(ProgressLine::Text(Progress(37, 201, 0, 2)), "display type 1 of 2, frame 37 of 201");
    EXPECT_EQ(ProgressLine::Text(Progress(201, 201, 1, 2)),
              "display type 2 of 2, frame 201 of 201");
    EXPECT_EQ(ProgressLine::Text(Progress(1, 1, 2, 3, 39, 40)),
              "picture 40 of 40, display type 3 of 3");
}

TEST(ProgressLineTest, ShowsOnATerminalAfterASecond) {
    const ProgressLine::Clock::time_point start{};
    const struct {
        const char* what;
        bool terminal;
        std::vector<std::pair<int, ConversionProgress>> steps; // milliseconds from start
        std::string written;
    } cases[] = {
        {"not a terminal", false, {{1500, Progress(2, 9, 0, 1)}}, ""},
        {"short work", true, {{10, Progress(1, 9, 0, 1)}, {999, Progress(9, 9, 0, 1)}}, ""},
        {"long work",
         true,
         {{500, Progress(1, 9, 0, 1)},
          {1000, Progress(2, 9, 0, 1)},
          {1050, Progress(3, 9, 0, 1)}, // too soon after the last
          {1100, Progress(4, 9, 0, 1)}},
         "\rztr: display type 1 of 1, frame 2 of 9\rztr: display type 1 of 1, frame 4 of 9"
         "\r                                      \r"},
        {"a shorter line covers a longer one",
         true,
         {{1000, Progress(10, 12, 0, 2)}, {2000, Progress(1, 1, 0, 1)}},
         "\rztr: display type 1 of 2, frame 10 of 12\rztr: display type 1 of 1" +
             std::string(16, ' ') + "\r                                        \r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
        ASSERT_TRUE(file);
        {
            ProgressLine line(file.get(), c.terminal, start);
            for (const auto& [ms, progress] : c.steps) {
                line.Show(progress, start + milliseconds(ms));
            }
        }
        EXPECT_EQ(Written(file.get()), c.written);
    }
}

} // namespace
