// Start-up and settings: the program paths, the class and window, the display settings
// read at creation and written on destroy, the menu's check marks, the list's geometry
// and the usage guide.
#include "window_test_support.h"

#include "init_viewer.h"
#include "program_values.h"
#include "viewer_window.h"

#include <fstream>

namespace {

struct PathCase {
    std::string programFile;
    std::string moduleDirectory;
    std::string settingsFile;
};

TEST(ModulePathsTest, DirectoryEndsInABackslashAndHoldsTheSettingsFile) {
    const std::string deep = "C:\\" + std::string(248, 'd') + "\\zenview.exe";
    const PathCase cases[] = {
        {"C:\\Tools\\Zentra\\zenview.exe", "C:\\Tools\\Zentra\\", "C:\\Tools\\Zentra\\zenconv.ini"},
        {"D:\\zenview.exe", "D:\\", "D:\\zenconv.ini"},
        {"zenview.exe", "zenview.exe", "zenview.exezenconv.ini"},
        // The settings path would not fit in 260 characters: no settings file at all.
        {deep, "C:\\" + std::string(248, 'd') + "\\", ""},
    };
    for (const PathCase& c : cases) {
        SetModulePaths(c.programFile.c_str());
        EXPECT_EQ(std::string(ModuleDirectory), c.moduleDirectory) << c.programFile;
        EXPECT_EQ(std::string(SettingsFilePath), c.settingsFile) << c.programFile;
    }
}

TEST(InitViewerTest, RegistersTheClassAndCreatesTheWindowOnce) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassA(VIEWER_CLASS_NAME, instance);
    HWND window = InitViewer(instance);
    ASSERT_NE(window, nullptr);

    char programFile[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, programFile, sizeof programFile);
    std::string expectedDirectory(programFile);
    expectedDirectory.erase(expectedDirectory.rfind('\\') + 1);
    EXPECT_EQ(std::string(ModuleDirectory), expectedDirectory);
    EXPECT_EQ(std::string(SettingsFilePath), expectedDirectory + "zenconv.ini");
    EXPECT_EQ(ViewerInstance, instance);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExA(instance, "Zentra:View", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_GLOBALCLASS));
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_NE(windowClass.hIcon, nullptr);
    EXPECT_NE(windowClass.hIconSm, nullptr);
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground,
              reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);

    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Zentra Image Viewer");
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 600);
    EXPECT_EQ(outer.bottom - outer.top, 400);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    // No extended style of its own; accepting dropped files adds WS_EX_ACCEPTFILES.
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES), 0);
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 4); // File, Edit, View, Help
    char item[64] = "";
    GetMenuStringA(menu, 108, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "&Build up full frame");

    // A second start-up finds the class taken and creates no window.
    EXPECT_EQ(InitViewer(instance), nullptr);

    DestroyWindow(window);
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    DeleteFileA(SettingsFilePath);
}

// Counts the thread's viewer windows into the int that count points at. A named CALLBACK
// function, because a lambda converts only to the default calling convention, which is
// not the window enumerator's on 32-bit Windows.
BOOL CALLBACK CountViewerWindows(HWND window, LPARAM count) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    *reinterpret_cast<int*>(count) += std::string(className) == VIEWER_CLASS_NAME;
    return TRUE;
}

TEST(RunViewerTest, StartUpWithoutAWindowIsReportedAndEnds) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(instance, VIEWER_CLASS_NAME, &existing)) {
        ASSERT_TRUE(RegisterViewerClass(instance)); // the class is taken: start-up must fail
    }
    RecordingCalls calls;
    EXPECT_EQ(RunViewer(instance), 1);
    ASSERT_EQ(Recorded.boxes.size(), 1u);
    EXPECT_EQ(Recorded.boxes[0].owner, nullptr);
    EXPECT_EQ(Recorded.boxes[0].text, START_UP_FAILED);
    EXPECT_EQ(Recorded.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    int viewerWindows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountViewerWindows,
                      reinterpret_cast<LPARAM>(&viewerWindows));
    EXPECT_EQ(viewerWindows, 0);
}

using SettingsTest = ViewerWindowTest;

struct MenuCase {
    const char* zoom; // nullptr: no key
    const char* invert;
    const char* buildup;
    UINT checked[5]; // items 104 to 108
};

TEST_F(SettingsTest, CheckMarksFollowTheSettingsReadAtCreation) {
    const MenuCase cases[] = {
        {nullptr, nullptr, nullptr, {MF_CHECKED, 0, 0, 0, 0}},
        {"2", "1", "0", {0, MF_CHECKED, 0, MF_CHECKED, 0}},
        {"4", "0", "1", {0, 0, MF_CHECKED, 0, MF_CHECKED}},
        {"3", "7", "1", {0, 0, 0, MF_CHECKED, MF_CHECKED}},
        {"zoom", nullptr, nullptr, {0, 0, 0, 0, 0}},
    };
    for (const MenuCase& c : cases) {
        WritePrivateProfileStringA("Viewer", "zoom", c.zoom, SettingsFilePath);
        WritePrivateProfileStringA("Viewer", "invert", c.invert, SettingsFilePath);
        WritePrivateProfileStringA("Viewer", "buildup", c.buildup, SettingsFilePath);
        CreateWindowNow();
        HMENU view = GetSubMenu(GetMenu(window_), 2);
        SendMessageA(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
        for (UINT id = 104; id <= 108; ++id) {
            EXPECT_EQ(GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED, c.checked[id - 104])
                << "item " << id << " with zoom " << (c.zoom ? c.zoom : "(none)");
        }
        DestroyWindowNow();
    }
}

TEST_F(SettingsTest, CheckMarksFollowTheMenuCommands) {
    CreateWindowNow();
    HMENU view = GetSubMenu(GetMenu(window_), 2);
    const struct {
        WORD command;
        UINT checked[5];
    } steps[] = {
        {105, {0, MF_CHECKED, 0, 0, 0}},
        {106, {0, 0, MF_CHECKED, 0, 0}},
        {107, {0, 0, MF_CHECKED, MF_CHECKED, 0}},
        {108, {0, 0, MF_CHECKED, MF_CHECKED, MF_CHECKED}},
        {104, {MF_CHECKED, 0, 0, MF_CHECKED, MF_CHECKED}},
        {107, {MF_CHECKED, 0, 0, 0, MF_CHECKED}},
        {108, {MF_CHECKED, 0, 0, 0, 0}},
    };
    for (const auto& step : steps) {
        Command(step.command);
        SendMessageA(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
        for (UINT id = 104; id <= 108; ++id) {
            EXPECT_EQ(GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED, step.checked[id - 104])
                << "item " << id << " after command " << step.command;
        }
    }
}

TEST_F(SettingsTest, DestroyWritesTheThreeDisplaySettingsOnly) {
    PresetSetting("directory", "C:\\pics");
    ASSERT_TRUE(WritePrivateProfileStringA("Settings", "animation", "1", SettingsFilePath));
    CreateWindowNow();
    EXPECT_EQ(ReadSetting("zoom"), "(absent)") << "nothing is written before the end";
    Command(106);
    Command(107);
    Command(108);
    Command(108);
    DestroyWindowNow();

    EXPECT_EQ(ReadSetting("zoom"), "4");
    EXPECT_EQ(ReadSetting("invert"), "1");
    EXPECT_EQ(ReadSetting("buildup"), "0");
    EXPECT_EQ(ReadSetting("directory"), "C:\\pics");
    char animation[16] = "";
    GetPrivateProfileStringA("Settings", "animation", "", animation, sizeof animation,
                             SettingsFilePath);
    EXPECT_STREQ(animation, "1");
}

TEST_F(SettingsTest, ExitApplicationDestroysTheWindowAndEndsTheLoop) {
    CreateWindowNow();
    HWND window = window_;
    Command(101);
    EXPECT_FALSE(IsWindow(window));
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(ReadSetting("zoom"), "1");
    window_ = nullptr;
}

TEST_F(SettingsTest, RecordListKeepsItsMarginsWhenResized) {
    CreateWindowNow();
    HWND list = GetDlgItem(window_, 200);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(list, GWL_STYLE) &
                  (WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT |
                   LBS_HASSTRINGS | LBS_NOTIFY | LBS_SORT),
              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT |
                  LBS_HASSTRINGS | LBS_NOTIFY);
    EXPECT_NE(GetWindowLongPtrA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    for (const int width : {600, 433, 817}) {
        SetWindowPos(window_, nullptr, 0, 0, width, 350, SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        GetClientRect(window_, &client);
        RECT place{};
        GetWindowRect(list, &place);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, 8);
        EXPECT_EQ(place.top, 8);
        EXPECT_EQ(place.right, client.right - 8) << "outer width " << width;
        EXPECT_EQ(place.bottom, 58);
    }
}

TEST_F(SettingsTest, UsageGuideBesideTheProgramElseInTheDocFolder) {
    CreateWindowNow();
    const std::string beside = programFolder_.File("zenview.pdf");
    Command(102);
    CreateDirectoryA(beside.c_str(), nullptr); // a folder of that name is no guide
    Command(102);
    RemoveDirectoryA(beside.c_str());
    std::ofstream(beside) << "%PDF-1.4\n";
    Command(102);

    const std::string elsewhere = programFolder_.Path() + "\\..\\doc\\zenview.pdf";
    ASSERT_EQ(Recorded.shells.size(), 3u);
    const std::string expected[] = {elsewhere, elsewhere, beside};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Recorded.shells[i].verb, "open");
        EXPECT_EQ(Recorded.shells[i].file, expected[i]);
        EXPECT_FALSE(Recorded.shells[i].parametersGiven);
        EXPECT_FALSE(Recorded.shells[i].directoryGiven);
        EXPECT_EQ(Recorded.shells[i].show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(Recorded.boxes.empty());
}

} // namespace
