// The options: "animation" and "delay" read when the dialog opens and written when it
// closes by any of its three ways, and the check box that enables the delay.
#include "dialog_script.h"
#include "display_profiles.h"
#include "main_dialog.h"
#include "main_dialog_harness.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr const char* PROFILES = "lcd 0 ; 1 Row LCD\n";

struct SeenOptions {
    bool ticked;
    std::string delay;
    bool labelEnabled;
    bool fieldEnabled;
};

SeenOptions ReadOptions(HWND dialog) {
    return {IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED,
            ControlText(dialog, IDC_DELAY),
            IsWindowEnabled(GetDlgItem(dialog, IDC_DELAY_LABEL)) != FALSE,
            IsWindowEnabled(GetDlgItem(dialog, IDC_DELAY)) != FALSE};
}

void ExpectOptions(const SeenOptions& seen, const SeenOptions& expected) {
    EXPECT_EQ(seen.ticked, expected.ticked);
    EXPECT_EQ(seen.delay, expected.delay);
    EXPECT_EQ(seen.labelEnabled, expected.labelEnabled);
    EXPECT_EQ(seen.fieldEnabled, expected.fieldEnabled);
}

// The three ways to close, each posted so that the modal loop handles it as a user's.
void ClickClose(HWND dialog) {
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}
void PressEscape(HWND dialog) {
    HWND focus = GetDlgItem(dialog, IDC_ADD_FILE);
    SetFocus(focus);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}
void ClickCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(Options, ReadAtOpeningAndWrittenByEveryWayOfClosing) {
    const struct {
        const char* what;
        const char* settings;
        SeenOptions opened;
        const char* typed; // new delay text, or null
        void (*close)(HWND);
        const char* written;
    } cases[] = {
        {"animation 5, delay -3, C&lose",
         "[Settings]\r\nanimation=5\r\ndelay=-3\r\n",
         {true, "0", true, true},
         nullptr,
         ClickClose,
         "[Settings]\r\nanimation=1\r\ndelay=0\r\n"},
        {"Escape",
         "[Settings]\r\nanimation=0\r\ndelay=40\r\n",
         {false, "40", false, false},
         "123",
         PressEscape,
         "[Settings]\r\nanimation=0\r\ndelay=123\r\n"},
        {"close box",
         "[Viewer]\r\nzoom=2\r\n[Settings]\r\ndelay=7\r\nanimation=1\r\n",
         {true, "7", true, true},
         "70000",
         ClickCloseBox,
         "[Viewer]\r\nzoom=2\r\n[Settings]\r\ndelay=70000\r\nanimation=1\r\n"},
        {"no settings file, not a number",
         nullptr,
         {false, "0", false, false},
         "x12",
         ClickClose,
         "[Settings]\r\nanimation=0\r\ndelay=0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MainDialogHarness harness(PROFILES, c.settings != nullptr
                                                ? std::optional<std::string>(c.settings)
                                                : std::nullopt);
        SeenOptions opened{};
        std::size_t profilesWhileOpen = 0;
        DialogScript script("Zentra Image converter", [&](HWND dialog) {
            opened = ReadOptions(dialog);
            profilesWhileOpen = MainDialogStateOf(dialog)->profiles.size();
            if (c.typed != nullptr) {
                SetDlgItemTextA(dialog, IDC_DELAY, c.typed);
            }
            c.close(dialog);
        });
        EXPECT_EQ(RunMainDialog(), 2);
        EXPECT_TRUE(script.Ran());
        ExpectOptions(opened, c.opened);
        EXPECT_EQ(profilesWhileOpen, 1u);
        EXPECT_EQ(harness.SettingsText(), c.written);
    }
}

TEST(Options, TheCheckBoxEnablesTheDelayAndFillsInZero) {
    MainDialogHarness harness(PROFILES, std::nullopt);
    HWND dialog = harness.Open();
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, IDC_ANIMATION);
    const struct {
        const char* before; // delay text set before the click, or null to leave it
        SeenOptions after;
    } steps[] = {
        {"", {true, "0", true, true}},       {nullptr, {false, "0", false, false}},
        {"", {true, "0", true, true}},       {"25", {false, "25", false, false}},
        {nullptr, {true, "25", true, true}}, {"", {false, "", false, false}},
    };
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(step++);
        if (s.before != nullptr) {
            SetDlgItemTextA(dialog, IDC_DELAY, s.before);
        }
        SendMessageA(box, BM_CLICK, 0, 0);
        PumpMessages(dialog);
        ExpectOptions(ReadOptions(dialog), s.after);
    }
}

} // namespace
