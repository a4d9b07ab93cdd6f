// Start-up values, the settings file and the message box behind ReportMessage, on the real
// platform functions (under Wine in the test build).
#include "blocking_recorder.h"
#include "hyperlink.h"
#include "message_box_sink.h"
#include "program_values.h"
#include "report_message.h"
#include "resource.h"
#include "settings.h"
#include "start_up.h"
#include "whole_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace {

TEST(ProgramPaths, DirectoryIsCutAtTheLastBackslashAndHoldsTheSettingsFile) {
    const std::string deepDirectory = "C:\\" + std::string(250, 'd');
    const std::string deep = deepDirectory + "\\z.exe";
    struct Case {
        const char* program;
        const char* directory;
        const char* settings;
    } cases[] = {
        {"C:\\Program Files\\Zentra tools\\zenconv.exe", "C:\\Program Files\\Zentra tools",
         "C:\\Program Files\\Zentra tools\\zenconv.ini"},
        {"D:\\a b.c\\ x \\zen conv.exe", "D:\\a b.c\\ x ", "D:\\a b.c\\ x \\zenconv.ini"},
        {"C:\\zenconv.exe", "C:", "C:\\zenconv.ini"},
        // A renamed program deep enough that the settings path would not fit in 260
        // characters: no settings file at all, rather than a cut-off name.
        {deep.c_str(), deepDirectory.c_str(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        SetProgramPaths(c.program);
        EXPECT_STREQ(ProgramDirectory, c.directory);
        EXPECT_STREQ(SettingsFilePath, c.settings);
    }
}

// A program directory with blanks in its name, made fresh for each test.
class SettingsFile : public testing::Test {
  protected:
    void SetUp() override {
        directory = std::filesystem::temp_directory_path() /
                    ("zentra settings " + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        SetProgramPaths((directory.string() + "\\zenconv.exe").c_str());
        file = directory / "zenconv.ini";
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::filesystem::path directory;
    std::filesystem::path file;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndIsNotCreatedByReading) {
    EXPECT_EQ(std::filesystem::path(SettingsFilePath), file);
    EXPECT_EQ(ReadSettingInt("animation", 0), 0);
    EXPECT_EQ(ReadSettingInt("delay", 17), 17);
    char text[SETTING_TEXT_SIZE] = "left over";
    ReadSettingText("directory", "", text);
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(SettingsFile, WritingCreatesTheFileAndReadsBack) {
    WriteSettingText("animation", "1");
    WriteSettingText("delay", "250");
    WriteSettingText("directory", "C:\\My Pictures\\lcd");
    WriteSettingText("delay", "40");
    EXPECT_EQ(ReadWholeFile(file),
              "[Settings]\r\nanimation=1\r\ndelay=40\r\ndirectory=C:\\My Pictures\\lcd\r\n");
    EXPECT_EQ(ReadSettingInt("animation", 0), 1);
    EXPECT_EQ(ReadSettingInt("delay", 0), 40);
    char text[SETTING_TEXT_SIZE] = "";
    ReadSettingText("directory", "", text);
    EXPECT_STREQ(text, "C:\\My Pictures\\lcd");
}

TEST_F(SettingsFile, ViewerSectionIsLeftExactlyAsItWas) {
    const std::string viewer = "[Viewer]\r\nzoom=4\r\ninvert=1\r\ndirectory=E:\\out\r\n";
    WriteWholeFile(file, viewer + "[Settings]\r\ndelay=7\r\n");
    EXPECT_EQ(ReadSettingInt("delay", 0), 7);
    EXPECT_EQ(ReadSettingInt("zoom", 0), 0);
    char text[SETTING_TEXT_SIZE] = "";
    ReadSettingText("directory", "none", text);
    EXPECT_STREQ(text, "none");

    WriteSettingText("delay", "0");
    WriteSettingText("animation", "1");
    EXPECT_EQ(ReadWholeFile(file), viewer + "[Settings]\r\ndelay=0\r\nanimation=1\r\n");
}

TEST(ReportMessageBox, ShowsTheFormattedTextWithoutOwnerWithCaptionAndWarningIcon) {
    BlockingRecorder recorder;
    ReportMessage(EngineMessageSink(), "ERROR: invalid size (width=%d, height=%d)\n", 0, 5);

    ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
    const RecordedMessageBox& box = BlockingRecorder::MessageBoxes[0];
    EXPECT_FALSE(box.hasOwner);
    EXPECT_EQ(box.text, "ERROR: invalid size (width=0, height=5)\n");
    EXPECT_EQ(box.caption, "Zenconv");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
}

// What start-up's main dialog looked like once it was initialised; it is then closed with
// "C&lose" (command 2) from a hook, so that the modal dialog returns.
struct SeenMainDialog {
    bool seen = false;
    std::string caption;
    bool linkMade = false;
    bool hasOwner = true;
};
SeenMainDialog Seen;

LRESULT CALLBACK CloseMainDialogWhenReady(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && !Seen.seen) {
        char caption[64] = "";
        GetWindowTextA(call->hwnd, caption, sizeof caption);
        Seen.seen = true;
        Seen.caption = caption;
        Seen.linkMade = GetPropA(GetDlgItem(call->hwnd, IDC_WEB_LINK), PROP_FROM_STATIC) != nullptr;
        Seen.hasOwner = GetWindow(call->hwnd, GW_OWNER) != nullptr;
        PostMessageA(call->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartUp, SetsTheProgramValuesRunsTheMainDialogAndReturnsZero) {
    BlockingRecorder recorder;
    Seen = SeenMainDialog{};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, CloseMainDialogWhenReady, nullptr,
                                   GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int exitCode = RunConverter(instance);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(Seen.seen);
    EXPECT_EQ(Seen.caption, "Zentra Image converter");
    EXPECT_TRUE(Seen.linkMade);
    EXPECT_FALSE(Seen.hasOwner);

    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string expectedDirectory(program);
    expectedDirectory.erase(expectedDirectory.rfind('\\'));
    EXPECT_EQ(ProgramInstance, instance);
    EXPECT_EQ(std::string(ProgramDirectory), expectedDirectory);
    EXPECT_EQ(std::string(SettingsFilePath), expectedDirectory + "\\zenconv.ini");

    // The type menu: one popup holding the placeholder item.
    ASSERT_NE(TypeMenu, nullptr);
    HMENU popup = GetSubMenu(TypeMenu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_TYPE_FIRST));
    char item[16] = "";
    GetMenuStringA(popup, 0, item, sizeof item, MF_BYPOSITION);
    EXPECT_STREQ(item, "blabla");
    char popupText[32] = "";
    GetMenuStringA(TypeMenu, 0, popupText, sizeof popupText, MF_BYPOSITION);
    EXPECT_STREQ(popupText, "filetype_menu");
}

} // namespace
