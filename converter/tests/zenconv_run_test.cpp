// One run of the real zenconv program: copied into a folder with blanks in its name and
// started from elsewhere, it shows its main dialog, and "C&lose" ends it with exit code 0.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace {

std::filesystem::path BuiltProgram() {
    // The test program lives in converter/tests, the converter in converter.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    return std::filesystem::path(self).parent_path().parent_path() / "zenconv.exe";
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search->processId && std::string(caption) == "Zentra Image converter") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits (bounded) for the program's main dialog to appear.
HWND FindMainDialog(DWORD processId, HANDLE process) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        WindowSearch search{processId, nullptr};
        EnumWindows(MatchMainDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) {
            return nullptr; // the program ended without showing its dialog
        }
    }
    return nullptr;
}

TEST(ZenconvProgram, ShowsTheMainDialogAndEndsWithZeroAfterClose) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("zentra run " + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path program = folder / "zenconv.exe";
    std::filesystem::copy_file(BuiltProgram(), program);

    std::string commandLine = "\"" + program.string() + "\"";
    std::string elsewhere = std::filesystem::temp_directory_path().string();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(program.string().c_str(), commandLine.data(), nullptr, nullptr,
                               FALSE, 0, nullptr, elsewhere.c_str(), &startup, &process));

    HWND dialog = FindMainDialog(process.dwProcessId, process.hProcess);
    ASSERT_NE(dialog, nullptr);
    HWND close = GetDlgItem(dialog, IDCANCEL);
    ASSERT_NE(close, nullptr);
    char text[32] = "";
    GetWindowTextA(close, text, sizeof text);
    EXPECT_STREQ(text, "C&lose");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(close));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 12345;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::filesystem::remove_all(folder);
}

} // namespace
