// "Add &file": the selection buffer walked into full paths, the file dialog's parameters,
// the sorted file list with its path copies, and the remembered folder.
#include "add_files.h"
#include "main_dialog_harness.h"
#include "resource.h"
#include "selected_files.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace std::string_literals;

TEST(FileNamePart, AfterTheLastBackslashElseAfterTheFirstColonElseWhole) {
    const struct {
        const char* path;
        const char* part;
    } cases[] = {
        {"C:\\pics\\lcd\\logo.bmp", "logo.bmp"},
        {"C:logo:x.bmp", "logo:x.bmp"},
        {"logo.pgm", "logo.pgm"},
        {"C:\\pics\\", ""},
        {"D:\\a:b\\c.pbm", "c.pbm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_STREQ(GetFileNamePart(c.path), c.part);
    }
}

class SelectionBuffer : public testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("zentra selection " + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder / "sub.dir");
        std::ofstream(folder / "b one.pgm") << "P2";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(SelectionBuffer, FileExistsOnlyForFiles) {
    EXPECT_TRUE(FileExists((folder / "b one.pgm").string().c_str()));
    EXPECT_FALSE(FileExists((folder / "sub.dir").string().c_str()));
    EXPECT_FALSE(FileExists((folder / "missing.pgm").string().c_str()));
}

TEST_F(SelectionBuffer, OneFileOrAFolderWithNames) {
    const std::string dir = folder.string();
    const std::string single = dir + "\\b one.pgm" + "\0\0"s;
    const std::string several = dir + "\0z.bmp\0a b.pgm\0c.pbm\0\0"s;
    const struct {
        std::string selection;
        int index;
        std::optional<std::string> path;
    } cases[] = {
        {single, 0, dir + "\\b one.pgm"}, {single, 1, std::nullopt},
        {several, 0, dir + "\\z.bmp"},    {several, 1, dir + "\\a b.pgm"},
        {several, 2, dir + "\\c.pbm"},    {several, 3, std::nullopt},
        {"\0\0"s, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(GetSelectedFile(c.selection.data(), c.selection.size(), c.index), c.path);
    }
}

TEST_F(SelectionBuffer, WalkStopsAtTheBufferEndWithoutTerminator) {
    const std::string cut = folder.string() + "\0first.bmp\0seco"s;
    EXPECT_EQ(GetSelectedFile(cut.data(), cut.size(), 0), folder.string() + "\\first.bmp");
    EXPECT_EQ(GetSelectedFile(cut.data(), cut.size(), 1), std::nullopt);
    const std::string unterminated = "C:\\abc";
    EXPECT_EQ(GetSelectedFile(unterminated.data(), unterminated.size(), 0), std::nullopt);
}

constexpr const char* NO_SETTINGS_PROFILES = "lcd 0 ; 1 Row LCD\n";

TEST(AddFile, AsksForExistingFilesWithMultipleSelectionInTheRememberedFolder) {
    MainDialogHarness harness(NO_SETTINGS_PROFILES,
                              "[Settings]\r\ndirectory=C:\\My Pictures\\lcd\r\n");
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    ScriptedOpenFile files(dialog, "", false);
    SendCommand(dialog, IDC_ADD_FILE);

    ASSERT_EQ(ScriptedOpenFile::Calls.size(), 1u);
    const RecordedOpenFile& call = ScriptedOpenFile::Calls[0];
    EXPECT_TRUE(call.ownerIsDialog);
    // "Pictures" with every extension first, then one filter a format, then all files.
    EXPECT_EQ(call.filter,
              "Pictures\0*.bmp;*.dib;*.png;*.gif;*.jpg;*.jpeg;*.jpe;*.tga;*.pbm;*.pgm;*.ppm;*.pnm\0"
              "Windows Bitmap (*.bmp, *.dib)\0*.bmp;*.dib\0"
              "PNG (*.png)\0*.png\0"
              "GIF (*.gif)\0*.gif\0"
              "JPEG (*.jpg, *.jpeg, *.jpe)\0*.jpg;*.jpeg;*.jpe\0"
              "Targa (*.tga)\0*.tga\0"
              "Portable Bitmap (*.pbm)\0*.pbm\0"
              "Portable Gray-Map (*.pgm)\0*.pgm\0"
              "Portable Pixmap (*.ppm, *.pnm)\0*.ppm;*.pnm\0"
              "All files (*.*)\0*.*\0"s);
    EXPECT_EQ(call.filterIndex, 1u);
    EXPECT_EQ(call.maxFile, 32767u);
    EXPECT_EQ(call.initialDirectory, "C:\\My Pictures\\lcd");
    EXPECT_EQ(call.flags,
              static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST));
    EXPECT_FALSE(call.hasTitle);
    // Cancelled: nothing added, nothing written.
    EXPECT_TRUE(ListTexts(dialog, IDC_FILE_LIST).empty());
    EXPECT_EQ(harness.SettingsText(), "[Settings]\r\ndirectory=C:\\My Pictures\\lcd\r\n");
}

class AddFileFolder : public testing::Test {
  protected:
    void SetUp() override {
        pictures = harness.Folder() / "pictures.dir";
        std::filesystem::create_directories(pictures);
        for (const char* name : {"b.bmp", "a.bmp", "c one.pgm"}) {
            std::ofstream(pictures / name) << "x";
        }
        dialog = harness.Open();
        ASSERT_NE(dialog, nullptr);
    }
    std::vector<std::string> ListedPaths() {
        std::vector<std::string> paths;
        for (LONG_PTR data : ListData(dialog, IDC_FILE_LIST)) {
            paths.push_back(*reinterpret_cast<const std::string*>(data));
        }
        return paths;
    }
    MainDialogHarness harness{NO_SETTINGS_PROFILES, std::nullopt};
    std::filesystem::path pictures;
    HWND dialog = nullptr;
};

TEST_F(AddFileFolder, OneFileIsAddedWithItsFullPathAndItsFolderIsRemembered) {
    const std::string dir = pictures.string();
    {
        ScriptedOpenFile files(dialog, dir + "\\b.bmp" + "\0\0"s);
        SendCommand(dialog, IDC_ADD_FILE);
    }
    EXPECT_EQ(ScriptedOpenFile::Calls.at(0).initialDirectory, "");
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), std::vector<std::string>{"b.bmp"});
    EXPECT_EQ(ListedPaths(), std::vector<std::string>{dir + "\\b.bmp"});
    EXPECT_EQ(harness.SettingsText(), "[Settings]\r\ndirectory=" + dir + "\r\n");

    // The same file again makes a second entry; a later file sorts before both.
    ScriptedOpenFile again(dialog, dir + "\0b.bmp\0a.bmp\0\0"s);
    SendCommand(dialog, IDC_ADD_FILE);
    EXPECT_EQ(ScriptedOpenFile::Calls.at(0).initialDirectory, dir);
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST),
              (std::vector<std::string>{"a.bmp", "b.bmp", "b.bmp"}));
    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{dir + "\\a.bmp", dir + "\\b.bmp", dir + "\\b.bmp"}));
}

TEST_F(AddFileFolder, ThreeFilesAreSortedAndTheFolderHasNoTrailingSeparator) {
    const std::string dir = pictures.string();
    ScriptedOpenFile files(dialog, dir + "\0c one.pgm\0b.bmp\0a.bmp\0\0"s);
    SendCommand(dialog, IDC_ADD_FILE);
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST),
              (std::vector<std::string>{"a.bmp", "b.bmp", "c one.pgm"}));
    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{dir + "\\a.bmp", dir + "\\b.bmp", dir + "\\c one.pgm"}));
    EXPECT_EQ(harness.SettingsText(), "[Settings]\r\ndirectory=" + dir + "\r\n");
    EXPECT_TRUE(BlockingRecorder::MessageBoxes.empty());
}

TEST_F(AddFileFolder, APathBeyondTheLimitIsNamedAndSkippedNeverCut) {
    const std::string dir = pictures.string();
    const std::string longName(259 - dir.size(), 'n'); // one character too many with the "\"
    ScriptedOpenFile files(dialog, dir + "\0"s + longName + "\0a.bmp\0\0"s);
    SendCommand(dialog, IDC_ADD_FILE);
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), std::vector<std::string>{"a.bmp"});
    ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
    const RecordedMessageBox& box = BlockingRecorder::MessageBoxes[0];
    EXPECT_TRUE(box.hasOwner);
    EXPECT_NE(box.text.find(dir + "\\" + longName), std::string::npos);
    EXPECT_EQ(box.caption, "Zenconv");

    // A path of exactly 259 characters still fits.
    const std::string fitting(258 - dir.size(), 'f');
    ScriptedOpenFile more(dialog, dir + "\0"s + fitting + "\0\0"s);
    SendCommand(dialog, IDC_ADD_FILE);
    EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), (std::vector<std::string>{"a.bmp", fitting}));
    EXPECT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
}

} // namespace
