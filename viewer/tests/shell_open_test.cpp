// Files that come from the shell: the path on the command line ("Open with", the .ztr
// association) and files dropped onto the window, each opened as "&Open..." opens a file.
#include "window_test_support.h"

#include "init_viewer.h"
#include "shell_drop.h"
#include "viewer_window.h"

#include <filesystem>

namespace {

class ShellOpenTest : public ViewerWindowTest {
  protected:
    // A file of two records in a folder whose name has blanks.
    std::string MakeFile(const std::string& name) {
        std::filesystem::create_directories(data_.File("my pictures"));
        const std::string pgm = data_.File("my pictures\\" + name + ".pgm");
        WritePgm(pgm, MakeTestPicture(13, 5));
        return ConvertPictures({pgm}, {TypeCode(0x00, 1), TypeCode(0x01, 8)}, 0);
    }

    void Drop(const std::vector<std::string>& paths) {
        SendMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeShellDrop(paths)), 0);
    }
};

const std::vector<std::string> TwoLines = {"13 x 5 monochrome, layout 00 [row order]",
                                           "13 x 5, colour depth 8 bits, layout 01 [column order]"};

TEST_F(ShellOpenTest, TheFirstArgumentOfTheCommandLineIsOpened) {
    const std::string file = MakeFile("a b");
    const struct {
        std::string commandLine;
        bool opened;
    } cases[] = {
        {"", false},
        {"   ", false},
        {"\"" + file + "\"", true},
        {"  \"" + file + "\" \"" + data_.File("other.ztr") + "\"", true},
    };
    for (const auto& c : cases) {
        CreateWindowNow();
        OpenCommandLineFile(window_, c.commandLine.c_str());
        EXPECT_EQ(ViewerState.CurrentFileName, c.opened ? file : "") << c.commandLine;
        EXPECT_EQ(ListLines(), c.opened ? TwoLines : std::vector<std::string>{}) << c.commandLine;
        EXPECT_EQ(Selection(), c.opened ? 0 : -1);
        EXPECT_EQ(ViewerState.displayBitmap.pixels.has_value(), c.opened);
        EXPECT_EQ(ReadSetting("directory"), c.opened ? data_.File("my pictures") : "(absent)");
        EXPECT_TRUE(Recorded.boxes.empty());
        DestroyWindowNow();
    }
}

TEST_F(ShellOpenTest, AFileThatCannotBeOpenedIsReportedAndTheViewerStaysEmpty) {
    CreateWindowNow();
    const std::string missing = data_.File("gone away.ztr");
    OpenCommandLineFile(window_, ("\"" + missing + "\"").c_str());
    ASSERT_EQ(Recorded.boxes.size(), 1u);
    EXPECT_EQ(Recorded.boxes[0].owner, window_);
    EXPECT_EQ(Recorded.boxes[0].text, "Failed to open file.");
    EXPECT_FALSE(Recorded.boxes[0].captionGiven);
    EXPECT_EQ(Recorded.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(ListLines().empty());
    EXPECT_FALSE(ViewerState.displayBitmap.pixels.has_value());
}

TEST_F(ShellOpenTest, ADropOpensItsFirstZentraFile) {
    const std::string first = MakeFile("first");
    const std::string second = MakeFile("second");
    const std::string picture = data_.File("my pictures\\first.pgm");
    const struct {
        std::vector<std::string> dropped;
        std::string opened; // empty: nothing is opened
    } cases[] = {
        {{first}, first},
        {{second, first}, second},
        {{picture, data_.File("my pictures"), first, second}, first},
        {{picture}, ""},
        {{std::string(300, 'x') + ".ztr", second}, second},
    };
    for (const auto& c : cases) {
        CreateWindowNow();
        Drop(c.dropped);
        EXPECT_EQ(ViewerState.CurrentFileName, c.opened) << c.dropped.front();
        EXPECT_EQ(ListLines(), c.opened.empty() ? std::vector<std::string>{} : TwoLines);
        EXPECT_EQ(Selection(), c.opened.empty() ? -1 : 0);
        EXPECT_TRUE(Recorded.boxes.empty());
        DestroyWindowNow();
    }
}

TEST_F(ShellOpenTest, TheWindowAcceptsDroppedFiles) {
    CreateWindowNow();
    EXPECT_NE(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
}

} // namespace
