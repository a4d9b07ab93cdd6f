// The real zenconv program driven from outside, as a user would: two pictures chosen in
// the real open-file dialog, a display type chosen in the real popup menu, "&Convert", the
// closing message dismissed, "C&lose". The files it writes must equal the writer's own
// output for the same pictures and type. With ZENTRA_E2E_SHOT_DIR set, the run pauses at
// the interesting moments and leaves a marker file there, so that a screenshot can be taken.
#include "convert_images.h"
#include "program_under_test.h"
#include "resource.h"
#include "scratch_folder.h"
#include "whole_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Waits (bounded) until the list holds the given number of entries.
bool WaitForCount(HWND list, LRESULT count) {
    return WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count; }, 30000);
}

void PauseForScreenshot(const char* name) {
    const char* folder = std::getenv("ZENTRA_E2E_SHOT_DIR");
    if (folder == nullptr) {
        return;
    }
    const std::filesystem::path marker = std::filesystem::path(folder) / name;
    std::ofstream(marker) << name;
    for (int attempt = 0; attempt < 100 && std::filesystem::exists(marker); ++attempt) {
        Sleep(100); // the screenshot taker removes the marker when done
    }
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(ZenconvEndToEnd, AddsPicturesAndATypeConvertsAndCloses) {
    const ScratchFolder scratch("zentra e2e");
    const std::filesystem::path root = scratch.Path();
    const std::filesystem::path programFolder = root / "Zentra tools";
    const std::filesystem::path pictures = root / "my pictures";
    const std::filesystem::path reference = root / "reference";
    for (const auto& folder : {programFolder, pictures, reference}) {
        std::filesystem::create_directories(folder);
    }
    const std::filesystem::path program = programFolder / "zenconv.exe";
    std::filesystem::copy_file(BuiltProgram("zenconv.exe"), program);
    WriteWholeFile(programFolder / "displays.prf", "# two displays\n"
                                                   "oled 0x06 ; 1 OLED 128 x 64, pages\n"
                                                   "grey 0 ; 8 Grey LCD, rows\n");
    WriteWholeFile(programFolder / "zenconv.ini",
                   "[Settings]\r\ndirectory=" + pictures.string() + "\r\n");
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    for (const auto& [source, name] : {std::pair{data / "im_grey7x5_bmp3.bmp", "b grey.bmp"},
                                       std::pair{data / "netpbm_grey5x3_raw.pgm", "a.pgm"}}) {
        std::filesystem::copy_file(source, pictures / name);
        std::filesystem::copy_file(source, reference / name);
    }

    ProgramUnderTest zenconv;
    ASSERT_TRUE(zenconv.Start(program.string(), root.string()));
    HWND dialog = zenconv.WaitForWindow("#32770", "Zentra Image converter");
    ASSERT_NE(dialog, nullptr);
    HWND fileList = GetDlgItem(dialog, IDC_FILE_LIST);
    HWND typeList = GetDlgItem(dialog, IDC_TYPE_LIST);

    // The open-file dialog starts in the remembered folder; two names are typed at once.
    Click(dialog, IDC_ADD_FILE);
    HWND open = zenconv.WaitForWindow("#32770", "Open");
    ASSERT_NE(open, nullptr);
    const char* names = "\"b grey.bmp\" \"a.pgm\"";
    HWND nameBox = GetDlgItem(open, 0x47C); // the file name box of the explorer-style dialog
    ASSERT_NE(nameBox, nullptr);
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names));
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
    ASSERT_TRUE(WaitForCount(fileList, 2));

    // The popup: the second item is the grey display.
    Click(dialog, IDC_ADD_TYPE);
    HWND menu = zenconv.WaitForWindow("#32768");
    ASSERT_NE(menu, nullptr);
    Sleep(300);
    PauseForScreenshot("popup");
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
    }
    ASSERT_TRUE(WaitForCount(typeList, 1));
    EXPECT_EQ(SendMessageA(typeList, LB_GETITEMDATA, 0, 0), 0x80000);
    PauseForScreenshot("lists");

    Click(dialog, IDC_CONVERT);
    HWND finished = zenconv.WaitForWindow("#32770", "Zenconv");
    ASSERT_NE(finished, nullptr);
    char text[128] = "";
    GetDlgItemTextA(finished, 0xFFFF, text, sizeof text);
    EXPECT_STREQ(text, "Finished image conversion.");
    PostMessageA(finished, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    Click(dialog, IDCANCEL);
    DWORD exitCode = 12345;
    ASSERT_TRUE(zenconv.WaitForExit(30000, exitCode));
    EXPECT_EQ(exitCode, 0u);

    // Per-picture mode: one file per picture, as the writer makes it for that type alone.
    for (const char* name : {"a", "b grey"}) {
        SCOPED_TRACE(name);
        const std::string extension = std::string(name) == "a" ? ".pgm" : ".bmp";
        ASSERT_EQ(WritePicturesAsFrames({(reference / (name + extension)).string()}, {0x80000}, 0,
                                        ConversionContext{}),
                  Outcome{});
        const std::string expected = ReadWholeFile(reference / (std::string(name) + ".ztr"));
        ASSERT_GT(expected.size(), 12u);
        EXPECT_EQ(ReadWholeFile(pictures / (std::string(name) + ".ztr")), expected);
    }
    EXPECT_EQ(ReadWholeFile(programFolder / "zenconv.ini"),
              "[Settings]\r\ndirectory=" + pictures.string() + "\r\nanimation=0\r\ndelay=0\r\n");
}

} // namespace
