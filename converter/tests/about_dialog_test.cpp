// The About box from the real resources, run modally and driven by posted keys and clicks.
#include "about_dialog.h"
#include "blocking_recorder.h"
#include "dialog_script.h"
#include "hyperlink.h"
#include "program_values.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const UINT WM_CHECK_STATE = WM_APP + 7;

// The About box as seen from its own message loop.
struct SeenAbout {
    HWND dialog = nullptr;
    HWND focus = nullptr;
    HWND ok = nullptr;
    bool alive = false;
};
SeenAbout Seen;

LRESULT CALLBACK RecordOnMarker(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_CHECK_STATE) {
        Seen.focus = GetFocus();
        Seen.ok = GetDlgItem(Seen.dialog, IDOK);
        // Whether the box still exists. (The modal loop shows it only once its queue has
        // run empty, so posted input may arrive before it is visible.)
        Seen.alive = IsWindow(Seen.dialog) != FALSE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PostKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

class AboutBox : public testing::Test {
  protected:
    void SetUp() override {
        ProgramInstance = GetModuleHandleA(nullptr);
        Seen = SeenAbout{};
        marker = SetWindowsHookExA(WH_GETMESSAGE, RecordOnMarker, nullptr, GetCurrentThreadId());
    }
    void TearDown() override { UnhookWindowsHookEx(marker); }

    // Runs the box, with the script posting its input once the box is initialised.
    INT_PTR Run(const std::function<void(HWND)>& script) {
        DialogScript driver("About Zenconv", [&](HWND dialog) {
            Seen.dialog = dialog;
            script(dialog);
        });
        INT_PTR result = ShowAboutBox(nullptr);
        EXPECT_TRUE(driver.Ran());
        return result;
    }

    BlockingRecorder recorder;
    HHOOK marker = nullptr;
};

TEST_F(AboutBox, EnterEscapeAndTheCloseBoxEndItWithOneTwoTwo) {
    struct Case {
        const char* how;
        void (*post)(HWND dialog);
        INT_PTR result;
    } cases[] = {
        {"Enter", [](HWND dialog) { PostKey(GetDlgItem(dialog, IDOK), VK_RETURN); }, IDOK},
        {"Escape", [](HWND dialog) { PostKey(GetDlgItem(dialog, IDOK), VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        INT_PTR result = Run([&](HWND dialog) {
            PostMessageA(dialog, WM_CHECK_STATE, 0, 0);
            c.post(dialog);
        });
        EXPECT_EQ(result, c.result);
        ASSERT_NE(Seen.ok, nullptr);
        EXPECT_EQ(Seen.focus, Seen.ok);
        EXPECT_FALSE(IsWindow(Seen.dialog));
    }
    EXPECT_TRUE(BlockingRecorder::ShellOpens.empty());
    EXPECT_TRUE(BlockingRecorder::MessageBoxes.empty());
}

TEST_F(AboutBox, LinkClickOpensTheAddressAndLeavesTheBoxOpen) {
    INT_PTR result = Run([](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_WEB_LINK);
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 2));
        PostMessageA(dialog, WM_CHECK_STATE, 0, 0);
        PostKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(Seen.alive);
    ASSERT_EQ(BlockingRecorder::ShellOpens.size(), 1u);
    const RecordedShellOpen& open = BlockingRecorder::ShellOpens[0];
    EXPECT_EQ(open.verb, "(null)");
    EXPECT_EQ(open.file, ZENCONV_WEB_ADDRESS);
    EXPECT_FALSE(open.hasParameters);
    EXPECT_FALSE(open.hasDirectory);
    EXPECT_EQ(open.show, SW_SHOWNORMAL);
}

// The box as built from its template, read while it is open.
struct AboutContents {
    std::string linkText;
    bool linkMade = false;
    bool classIconIsAppIcon = false;
    LONG_PTR okStyle = 0;
    std::vector<std::string> staticTexts;
};

TEST_F(AboutBox, ShowsTheTemplateTextsTheLinkAndTheClassIcon) {
    AboutContents seen;
    INT_PTR result = Run([&](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_WEB_LINK);
        char text[256] = "";
        GetWindowTextA(link, text, sizeof text);
        seen.linkText = text;
        seen.linkMade = GetPropA(link, PROP_FROM_STATIC) != nullptr;
        seen.classIconIsAppIcon = reinterpret_cast<HICON>(GetClassLongPtrA(dialog, GCLP_HICON)) ==
                                  LoadIconA(ProgramInstance, "AppIcon");
        seen.okStyle = GetWindowLongPtrA(GetDlgItem(dialog, IDOK), GWL_STYLE);
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(child) == IDC_STATIC_UNNAMED &&
                (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT) {
                GetWindowTextA(child, text, sizeof text);
                seen.staticTexts.push_back(text);
            }
        }
        PostKey(GetDlgItem(dialog, IDOK), VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.linkText, ZENCONV_WEB_ADDRESS_TEXT);
    EXPECT_TRUE(seen.linkMade);
    EXPECT_TRUE(seen.classIconIsAppIcon);
    EXPECT_EQ(seen.okStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_NE(seen.okStyle & BS_FLAT, 0);
    ASSERT_EQ(seen.staticTexts.size(), 1u);
    EXPECT_EQ(seen.staticTexts[0].rfind("Zenconv 1.0\n\nZenconv converts Windows BMP images to "
                                        "the zentra format.\n\n",
                                        0),
              0u);
}

} // namespace
