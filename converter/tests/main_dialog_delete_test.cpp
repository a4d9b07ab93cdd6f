// The Delete key: real key events through the thread's keyboard hook remove the selected
// entry of the list that has the focus, on key-down only, and nothing elsewhere.
#include "delete_key_watcher.h"
#include "file_list.h"
#include "main_dialog_harness.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

constexpr const char* PROFILES = "one 1 ; 1 One\n"
                                 "two 2 ; 1 Two\n"
                                 "three 3 ; 8 Three\n";

// Delete key events that reached this thread's keyboard input. Real input goes to whichever
// window is in front, and other test programs on the same display may take the front for a
// moment; a case whose keys went elsewhere is run again.
int DeleteEventsArrived = 0;
LRESULT CALLBACK CountDeleteEvents(int code, WPARAM key, LPARAM flags) {
    if (code == HC_ACTION && key == VK_DELETE) {
        ++DeleteEventsArrived;
    }
    return CallNextHookEx(nullptr, code, key, flags);
}

// Brings the window to the front, sends the key's events as the keyboard does, and lets
// the thread handle them. Returns whether every event reached this thread.
bool SendDeleteKey(HWND front, bool down, bool up) {
    HHOOK counter =
        SetWindowsHookExA(WH_KEYBOARD, CountDeleteEvents, nullptr, GetCurrentThreadId());
    DeleteEventsArrived = 0;
    SetForegroundWindow(front);
    PumpMessages(front);
    INPUT inputs[2]{};
    UINT count = 0;
    for (bool release : {false, true}) {
        if ((release && !up) || (!release && !down)) {
            continue;
        }
        INPUT& input = inputs[count++];
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_DELETE;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(VK_DELETE, 0));
        input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (release ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(count, inputs, sizeof(INPUT));
    PumpMessages(front);
    UnhookWindowsHookEx(counter);
    return DeleteEventsArrived == static_cast<int>(count);
}

constexpr int ATTEMPTS = 10;

class DeleteKey : public testing::Test {
  protected:
    void SetUp() override {
        dialog = harness.Open();
        ASSERT_NE(dialog, nullptr);
        const std::string dir = harness.WindowsFolder();
        ScriptedOpenFile files(dialog, dir + "\0c.pgm\0a.bmp\0b.pbm\0\0"s);
        SendCommand(dialog, IDC_ADD_FILE);
        for (int item : {256, 257, 258}) {
            SendCommand(dialog, item, 0);
        }
        SetForegroundWindow(dialog);
        PumpMessages(dialog);
    }
    // Focus and selection as a user would leave them, then the key as the keyboard sends it.
    bool PressDelete(int focusId, int selected, bool down, bool up) {
        if (selected >= 0 || focusId == IDC_FILE_LIST || focusId == IDC_TYPE_LIST) {
            SendDlgItemMessageA(dialog, focusId, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        }
        SetForegroundWindow(dialog);
        SetFocus(GetDlgItem(dialog, focusId));
        PumpMessages(dialog);
        return SendDeleteKey(dialog, down, up);
    }
    MainDialogHarness harness{PROFILES, std::nullopt};
    HWND dialog = nullptr;
    const std::vector<std::string> files{"a.bmp", "b.pbm", "c.pgm"};
    const std::vector<std::string> types{"One", "Three", "Two"};
};

TEST_F(DeleteKey, RemovesTheSelectedEntryOfTheFocusedListOnKeyDownOnly) {
    const struct {
        const char* what;
        int focus;
        int selected;
        bool down;
        bool up;
        std::vector<std::string> files;
        std::vector<std::string> types;
    } cases[] = {
        {"file list", IDC_FILE_LIST, 1, true, true, {"a.bmp", "c.pgm"}, types},
        {"type list", IDC_TYPE_LIST, 2, true, true, files, {"One", "Three"}},
        {"key-up alone", IDC_FILE_LIST, 0, false, true, files, types},
        {"key-down alone", IDC_TYPE_LIST, 0, true, false, files, {"Three", "Two"}},
        {"no selection", IDC_FILE_LIST, -1, true, true, files, types},
        {"delay field", IDC_DELAY, -1, true, true, files, types},
        {"a button", IDC_CONVERT, -1, true, true, files, types},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool arrived = false;
        for (int attempt = 0; attempt < ATTEMPTS && !arrived; ++attempt) {
            DestroyWindow(dialog);
            SetUp();
            if (c.focus == IDC_DELAY) {
                EnableWindow(GetDlgItem(dialog, IDC_DELAY), TRUE);
                SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_SETCURSEL, 0, 0);
                SendDlgItemMessageA(dialog, IDC_TYPE_LIST, LB_SETCURSEL, 0, 0);
            }
            arrived = PressDelete(c.focus, c.selected, c.down, c.up);
        }
        ASSERT_TRUE(arrived);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.focus));
        EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST), c.files);
        EXPECT_EQ(ListTexts(dialog, IDC_TYPE_LIST), c.types);
        // No entry is selected after a deletion.
        if (c.files != files) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FILE_LIST, LB_GETCURSEL, 0, 0), LB_ERR);
        }
        if (c.types != types) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_TYPE_LIST, LB_GETCURSEL, 0, 0), LB_ERR);
        }
    }
}

TEST_F(DeleteKey, DeletingAFileEntryKeepsTheOtherEntriesPaths) {
    bool arrived = false;
    for (int attempt = 0; attempt < ATTEMPTS && !arrived; ++attempt) {
        DestroyWindow(dialog);
        SetUp();
        arrived = PressDelete(IDC_FILE_LIST, 0, true, true);
    }
    ASSERT_TRUE(arrived);
    std::vector<std::string> paths;
    for (LONG_PTR data : ListData(dialog, IDC_FILE_LIST)) {
        paths.push_back(*reinterpret_cast<const std::string*>(data));
    }
    const std::string dir = harness.WindowsFolder();
    EXPECT_EQ(paths, (std::vector<std::string>{dir + "\\b.pbm", dir + "\\c.pgm"}));
    // The type list's codes follow their entries. Sent directly: the hook path is above.
    SendDlgItemMessageA(dialog, IDC_TYPE_LIST, LB_SETCURSEL, 1, 0);
    SetFocus(GetDlgItem(dialog, IDC_TYPE_LIST));
    PumpMessages(dialog);
    SendMessageA(dialog, WM_DELETEKEY_DOWN, VK_DELETE, 0);
    EXPECT_EQ(ListData(dialog, IDC_TYPE_LIST), (std::vector<LONG_PTR>{0x10001, 0x10002}));
}

TEST_F(DeleteKey, AFileEntryReleasesItsPathCopyATypeEntryNothingAndTheDialogTheRest) {
    ASSERT_EQ(FileEntryPathsHeld(), 3);
    const struct {
        int list;
        std::size_t files;
        std::size_t types;
        int held;
    } steps[] = {{IDC_FILE_LIST, 2, 3, 2}, {IDC_TYPE_LIST, 2, 2, 2}, {IDC_FILE_LIST, 1, 2, 1}};
    for (const auto& step : steps) {
        SendDlgItemMessageA(dialog, step.list, LB_SETCURSEL, 0, 0);
        SetFocus(GetDlgItem(dialog, step.list));
        PumpMessages(dialog);
        SendMessageA(dialog, WM_DELETEKEY_DOWN, VK_DELETE, 0);
        EXPECT_EQ(ListTexts(dialog, IDC_FILE_LIST).size(), step.files);
        EXPECT_EQ(ListTexts(dialog, IDC_TYPE_LIST).size(), step.types);
        EXPECT_EQ(FileEntryPathsHeld(), step.held);
    }
    DestroyWindow(dialog);
    EXPECT_EQ(FileEntryPathsHeld(), 0);
}

// The delete-key messages that reached RecordDeleteKeyMessages.
std::vector<std::pair<UINT, WPARAM>> Seen;

// A window procedure that only records what reaches it, standing in for the dialog. A
// named CALLBACK function, because a lambda converts only to the default calling
// convention, which is not a window procedure's on 32-bit Windows.
LRESULT CALLBACK RecordDeleteKeyMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DELETEKEY_DOWN || message == WM_DELETEKEY_UP) {
        Seen.emplace_back(message, wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(DeleteKey, TheWatcherPostsItsMessagesWithTheKeyCode) {
    Seen.clear();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordDeleteKeyMessages;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZentraDeleteKeyProbe";
    RegisterClassA(&windowClass);
    HWND probe = CreateWindowA("ZentraDeleteKeyProbe", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    DestroyWindow(dialog); // its watcher goes with it
    ShowWindow(probe, SW_SHOW);
    bool arrived = false;
    for (int attempt = 0; attempt < ATTEMPTS && !arrived; ++attempt) {
        Seen.clear();
        InstallDeleteKeyWatcher(probe);
        arrived = SendDeleteKey(probe, true, true);
        RemoveDeleteKeyWatcher();
        arrived = arrived && SendDeleteKey(probe, true, true);
    }
    DestroyWindow(probe);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(Seen, (std::vector<std::pair<UINT, WPARAM>>{{0x590, VK_DELETE}, {0x591, VK_DELETE}}));
}

} // namespace
