// One run of the real zenconv program: copied into a folder with blanks in its name and
// started from elsewhere, it shows its main dialog, and "C&lose" ends it with exit code 0.
#include "program_under_test.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace {

TEST(ZenconvProgram, ShowsTheMainDialogAndEndsWithZeroAfterClose) {
    const ScratchFolder folder("zentra run");
    const std::string program = folder.File("zenconv.exe");
    std::filesystem::copy_file(BuiltProgram("zenconv.exe"), program);

    ProgramUnderTest zenconv;
    ASSERT_TRUE(zenconv.Start(program, std::filesystem::temp_directory_path().string()));
    HWND dialog = zenconv.WaitForWindow("#32770", "Zentra Image converter");
    ASSERT_NE(dialog, nullptr);
    HWND close = GetDlgItem(dialog, IDCANCEL);
    ASSERT_NE(close, nullptr);
    char text[32] = "";
    GetWindowTextA(close, text, sizeof text);
    EXPECT_STREQ(text, "C&lose");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(close));
    DWORD exitCode = 12345;
    ASSERT_TRUE(zenconv.WaitForExit(30000, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
