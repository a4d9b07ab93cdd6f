// Pictures from the shell: a drop built as Explorer builds it, and the pictures named on the
// command line, both added by the rules of "Add &file" (full paths, sorted, too-long paths
// refused, the first one's folder remembered); folders and missing files are named instead.
#include "drop_files.h"
#include "main_dialog_harness.h"
#include "resource.h"
#include "shell_drop.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class ShellPictures : public testing::Test {
  protected:
    void SetUp() override {
        pictures = harness.Folder() / "drop pictures";
        std::filesystem::create_directories(pictures / "sub.dir");
        for (const char* name : {"b.bmp", "a.bmp", "c one.pgm"}) {
            std::ofstream(pictures / name) << "x";
        }
        dir = pictures.string();
    }
    std::vector<std::string> ListedPaths(HWND dialog) {
        std::vector<std::string> paths;
        for (LONG_PTR data : ListData(dialog, IDC_FILE_LIST)) {
            paths.push_back(*reinterpret_cast<const std::string*>(data));
        }
        return paths;
    }
    std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const RecordedMessageBox& box : BlockingRecorder::MessageBoxes) {
            EXPECT_TRUE(box.hasOwner);
            EXPECT_EQ(box.caption, "Zenconv");
            texts.push_back(box.text);
        }
        return texts;
    }
    MainDialogHarness harness{"lcd 0 ; 1 Row LCD\n", std::nullopt};
    std::filesystem::path pictures;
    std::string dir;
};

struct ShellCase {
    std::vector<std::string> names;  // relative to the pictures folder; "!" + n: n x's long
    std::vector<std::string> listed; // display texts, in list order
    std::string remembered;          // "" when no folder is written
    std::vector<std::string> boxes;  // with "@" for the pictures folder
};

std::string Expand(const std::string& text, const std::string& dir) {
    std::string result = text;
    for (std::size_t at = result.find('@'); at != std::string::npos; at = result.find('@')) {
        result.replace(at, 1, dir);
    }
    return result;
}

const ShellCase Cases[] = {
    {{"b.bmp", "a.bmp", "c one.pgm"}, {"a.bmp", "b.bmp", "c one.pgm"}, "@", {}},
    {{"sub.dir", "b.bmp"},
     {"b.bmp"},
     "@",
     {"Folders cannot be added, only the pictures in them. These folders were not "
      "added:\n@\\sub.dir"}},
    {{"gone.bmp", "a.bmp", "sub.dir", "a.bmp"},
     {"a.bmp", "a.bmp"},
     "@",
     {"Folders cannot be added, only the pictures in them. These folders were not "
      "added:\n@\\sub.dir",
      "These files were not found, so they were not added:\n@\\gone.bmp"}},
    {{"!300", "c one.pgm"},
     {"c one.pgm"},
     "",
     {"The path of this file is too long, so it was not added:\n@\\!300"}},
};

std::string PathOf(const std::string& name, const std::string& dir) {
    if (!name.empty() && name[0] == '!') {
        return dir + "\\" + std::string(std::stoul(name.substr(1)), 'x') + ".bmp";
    }
    return dir + "\\" + name;
}

std::string ExpandLong(const std::string& text, const std::string& dir) {
    const std::size_t at = text.find("@\\!");
    if (at == std::string::npos) {
        return Expand(text, dir);
    }
    return Expand(text.substr(0, at), dir) + PathOf(text.substr(at + 2), dir);
}

TEST_F(ShellPictures, ADropAddsItsPicturesByTheAddFileRules) {
    for (const ShellCase& c : Cases) {
        SCOPED_TRACE(c.names.front());
        BlockingRecorder::MessageBoxes.clear();
        HWND dialog = harness.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_NE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
        std::vector<std::string> dropped;
        for (const std::string& name : c.names) {
            dropped.push_back(PathOf(name, dir));
        }
        SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeShellDrop(dropped)), 0);
        EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), c.listed);
        std::vector<std::string> expectedBoxes;
        for (const std::string& box : c.boxes) {
            expectedBoxes.push_back(ExpandLong(box, dir));
        }
        EXPECT_EQ(BoxTexts(), expectedBoxes);
        for (const std::string& path : ListedPaths(dialog)) {
            EXPECT_EQ(path.rfind(dir + "\\", 0), 0u) << path;
        }
        const std::string settings = harness.SettingsText();
        EXPECT_EQ(settings, c.remembered.empty() ? "" : "[Settings]\r\ndirectory=" + dir + "\r\n");
        DestroyWindow(dialog);
        std::filesystem::remove(harness.Folder() / "zenconv.ini");
    }
}

TEST_F(ShellPictures, PicturesOnTheCommandLineAreAddedWhenTheDialogOpens) {
    const std::vector<std::string> given{dir + "\\c one.pgm", dir + "\\sub.dir", dir + "\\a.bmp"};
    HWND dialog = harness.Open(&given);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), (std::vector<std::string>{"a.bmp", "c one.pgm"}));
    EXPECT_EQ(ListedPaths(dialog),
              (std::vector<std::string>{dir + "\\a.bmp", dir + "\\c one.pgm"}));
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{"Folders cannot be added, only the pictures in them. "
                                       "These folders were not added:\n" +
                                       dir + "\\sub.dir"});
    EXPECT_EQ(harness.SettingsText(), "[Settings]\r\ndirectory=" + dir + "\r\n");
    DestroyWindow(dialog);
}

} // namespace
