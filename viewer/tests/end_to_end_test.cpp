// The real zenview.exe, started as its own process from a copy in a scratch "program
// folder": files are chosen in the platform's real file-open dialog, the menu commands
// arrive as the menu would send them, and what the screen shows is read back and compared
// with the decoder's result. With ZENVIEW_SCREENSHOTS set to a folder, each checked view of
// the window is also saved there as a PPM picture.
#include "decode_record.h"
#include "program_under_test.h"
#include "window_test_support.h"

#include <windows.h>

#include <cstdlib>

namespace {

void SaveScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("ZENVIEW_SCREENSHOTS");
    if (folder != nullptr && *folder != '\0') {
        SavePpm(CaptureScreen(window, true), std::string(folder) + "\\" + name + ".ppm");
    }
}

class ZenviewProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string app = program_.Path();
        ASSERT_TRUE(
            CopyFileA(BuiltProgram("zenview.exe").c_str(), (app + "\\zenview.exe").c_str(), FALSE));
        ASSERT_TRUE(WritePrivateProfileStringA("Viewer", "zoom", "4", Settings().c_str()));
    }

    std::string Settings() const { return program_.File("zenconv.ini"); }

    std::string Setting(const char* key) const {
        char value[260] = "";
        GetPrivateProfileStringA("Viewer", key, "(absent)", value, sizeof value,
                                 Settings().c_str());
        return value;
    }

    std::string CopySample(const char* name) {
        const std::string target = data_.File(name);
        EXPECT_TRUE(
            CopyFileA((std::string(ZENTRA_SAMPLES) + "\\" + name).c_str(), target.c_str(), FALSE))
            << name;
        return target;
    }

    // Starts the program, with the arguments after its name when given.
    void Start(const std::string& arguments = "") {
        ASSERT_TRUE(viewerProgram_.Start(program_.File("zenview.exe"), program_.Path(), arguments));
        viewer_ = viewerProgram_.WaitForWindow("Zentra:View");
        ASSERT_NE(viewer_, nullptr);
        char title[64] = "";
        GetWindowTextA(viewer_, title, sizeof title);
        EXPECT_STREQ(title, "Zentra Image Viewer");
        // Above every other window, as other test programs may show theirs on the same screen.
        SetWindowPos(viewer_, HWND_TOPMOST, 30, 20, 0, 0, SWP_NOSIZE);
        list_ = GetDlgItem(viewer_, 200);
        ASSERT_NE(list_, nullptr);
    }

    // "&Open..." in the viewer, then the path typed into the real dialog and "Open" pressed.
    void OpenInRealDialog(const std::string& path) {
        PostMessageA(viewer_, WM_COMMAND, MAKEWPARAM(100, 0), 0);
        HWND open = viewerProgram_.WaitForWindow("#32770");
        ASSERT_NE(open, nullptr) << "no file-open dialog";
        HWND name = GetDlgItem(open, 0x480); // the file name field (edt1)
        if (name == nullptr) {
            name = GetDlgItem(open, 0x47C); // the file name combo box (cmb13)
        }
        ASSERT_NE(name, nullptr);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(open); })) << "the dialog stays";
    }

    // Read as wide text: the platform converts list box texts between processes only in
    // its Unicode form.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        const auto count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t line[256] = L"";
            if (SendMessageW(list_, LB_GETTEXTLEN, i, 0) < 256) {
                SendMessageW(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            }
            std::string narrow;
            for (const wchar_t* c = line; *c != L'\0'; ++c) {
                narrow += *c < 0x80 ? static_cast<char>(*c) : '?';
            }
            lines.push_back(narrow);
        }
        return lines;
    }

    void Send(WORD command, HWND from = nullptr, WORD notification = 0) {
        SendMessageA(viewer_, WM_COMMAND, MAKEWPARAM(command, notification),
                     reinterpret_cast<LPARAM>(from));
    }

    ::testing::AssertionResult ScreenShows(const std::string& file, int record, bool buildUp,
                                           int zoom, bool invert) {
        DisplayBitmap decoded;
        DecodeRecord(file, record, buildUp, decoded);
        // The repaint is queued behind the command and reaches the screen some time after
        // it; the screen is read until it shows the frame or about ten seconds have passed.
        ::testing::AssertionResult same = ::testing::AssertionFailure();
        WaitFor([&] {
            const ClientPixels shown = CaptureScreen(viewer_, false);
            same = SameBelow(shown,
                             ExpectedPicture(decoded, zoom, invert, shown.width, shown.height), 60);
            return static_cast<bool>(same);
        });
        return same;
    }

    ScratchFolder program_;
    ScratchFolder data_;
    ProgramUnderTest viewerProgram_;
    HWND viewer_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ZenviewProgramTest, OpensFilesInTheRealDialogAndShowsThemZoomedBuiltUpAndInverted) {
    const std::string shapes = ConvertPictures({CopySample("shapes_84x48.pbm")},
                                               {TypeCode(0x06, 1), TypeCode(0x00, 8)}, 0);
    std::vector<std::string> frames;
    for (const char* name : {"anim_0.pgm", "anim_1.pgm", "anim_2.pgm", "anim_3.pgm"}) {
        frames.push_back(CopySample(name));
    }
    const std::string animation = ConvertPictures(frames, {TypeCode(0x00, 1)}, 100);
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_NO_FATAL_FAILURE(OpenInRealDialog(shapes));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list_, LB_GETCOUNT, 0, 0) == 2; }));
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "84 x 48 monochrome, layout 06 [banded rows, reversed pixel order]",
                           "84 x 48, colour depth 8 bits, layout 00 [row order]"}));
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(ScreenShows(shapes, 0, false, 4, false)) << "monochrome at zoom 4";
    SaveScreenshot(viewer_, "zenview-monochrome-zoom4");
    EXPECT_EQ(Setting("directory"), data_.Path());

    ASSERT_NO_FATAL_FAILURE(OpenInRealDialog(animation));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list_, LB_GETCOUNT, 0, 0) == 4; }));
    EXPECT_EQ(Lines()[0], "97 x 45 monochrome, layout 00 [row order]");
    SendMessageA(list_, LB_SETCURSEL, 3, 0);
    Send(200, list_, LBN_SELCHANGE);
    Send(105);
    Send(108);
    EXPECT_TRUE(ScreenShows(animation, 3, true, 2, false)) << "built-up frame at zoom 2";
    SaveScreenshot(viewer_, "zenview-built-up");

    Send(107);
    EXPECT_TRUE(ScreenShows(animation, 3, true, 2, true)) << "inverted";
    SaveScreenshot(viewer_, "zenview-inverted");

    Send(101);
    DWORD exitCode = 99;
    ASSERT_TRUE(viewerProgram_.WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(Setting("zoom"), "2");
    EXPECT_EQ(Setting("invert"), "1");
    EXPECT_EQ(Setting("buildup"), "1");
}

TEST_F(ZenviewProgramTest, AFileOnTheCommandLineIsShownAtStart) {
    const std::string folder = data_.File("my pictures");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string pgm = folder + "\\shapes 84x48.pbm";
    ASSERT_TRUE(CopyFileA((std::string(ZENTRA_SAMPLES) + "\\shapes_84x48.pbm").c_str(), pgm.c_str(),
                          FALSE));
    const std::string file = ConvertPictures({pgm}, {TypeCode(0x06, 1)}, 0);
    ASSERT_NO_FATAL_FAILURE(Start("\"" + file + "\""));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(list_, LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(Lines(), std::vector<std::string>{
                           "84 x 48 monochrome, layout 06 [banded rows, reversed pixel order]"});
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(ScreenShows(file, 0, false, 4, false));
    EXPECT_EQ(Setting("directory"), folder);
    Send(101);
    DWORD exitCode = 1;
    ASSERT_TRUE(viewerProgram_.WaitForExit(10000, exitCode));
}

} // namespace
