// The hyperlink control on real windows: a dialog from a test template with two links and
// a plain static, driven by messages; the state is read back from the windows themselves.
#include "hyperlink.h"
#include "hyperlink_test_ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

namespace {

INT_PTR CALLBACK RecordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Commands that reached the test dialog's procedure: control id -> notification codes.
std::multimap<int, int> ReceivedCommands;

INT_PTR CALLBACK RecordingDialogProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        ReceivedCommands.emplace(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

LOGFONTA Describe(HGDIOBJ font) {
    LOGFONTA description{};
    EXPECT_EQ(GetObjectA(font, sizeof description, &description),
              static_cast<int>(sizeof description));
    return description;
}

bool HasAnyHyperlinkProperty(HWND window) {
    for (const char* name :
         {PROP_ORIGINAL_PROC, PROP_ORIGINAL_FONT, PROP_UNDERLINE_FONT, PROP_FROM_STATIC}) {
        if (GetPropA(window, name) != nullptr) {
            return true;
        }
    }
    return false;
}

// What a window looked like right after it handled WM_DESTROY, seen from a
// WH_CALLWNDPROCRET hook (the window still exists then).
struct DestroyedState {
    WNDPROC procedure = nullptr;
    HFONT font = nullptr;
    bool properties = true;
    DWORD originalFontType = 0;
};
std::map<HWND, DestroyedState> DestroyedStates;
HFONT WatchedFont = nullptr;

LRESULT CALLBACK RecordDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY) {
        DestroyedState state;
        state.procedure = ProcOf(call->hwnd);
        state.font = FontOf(call->hwnd);
        state.properties =
            HasAnyHyperlinkProperty(call->hwnd) || GetPropA(call->hwnd, PROP_ORIGINAL_PROC);
        state.originalFontType = WatchedFont != nullptr ? GetObjectType(WatchedFont) : 0;
        DestroyedStates[call->hwnd] = state;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct DestroyRecorder {
    HHOOK hook;
    DestroyRecorder() {
        DestroyedStates.clear();
        hook = SetWindowsHookExA(WH_CALLWNDPROCRET, RecordDestroy, nullptr, GetCurrentThreadId());
    }
    ~DestroyRecorder() {
        UnhookWindowsHookEx(hook);
        WatchedFont = nullptr;
    }
    DestroyRecorder(const DestroyRecorder&) = delete;
    DestroyRecorder& operator=(const DestroyRecorder&) = delete;
};

class HyperlinkDialog : public testing::Test {
  protected:
    void SetUp() override {
        ReceivedCommands.clear();
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "HyperlinkTest", nullptr,
                                    RecordingDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        links[0] = GetDlgItem(dialog, IDC_LINK_FIRST);
        links[1] = GetDlgItem(dialog, IDC_LINK_SECOND);
        plain = GetDlgItem(dialog, IDC_PLAIN);
        dialogProc = ProcOf(dialog);
        plainProc = ProcOf(plain);
        dialogFont = FontOf(links[0]);
        ASSERT_NE(dialogFont, nullptr);
        for (int i = 0; i < 2; ++i) {
            linkProcs[i] = ProcOf(links[i]);
            ASSERT_EQ(MakeHyperlink(links[i]), TRUE);
        }
    }
    void TearDown() override {
        if (GetCapture() != nullptr) {
            ReleaseCapture();
        }
        if (dialog != nullptr && IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
    }

    HWND dialog = nullptr;
    HWND links[2] = {};
    HWND plain = nullptr;
    WNDPROC dialogProc = nullptr;
    WNDPROC plainProc = nullptr;
    WNDPROC linkProcs[2] = {};
    HFONT dialogFont = nullptr;
};

TEST_F(HyperlinkDialog, TakesOverTheDialogOnceAndEachLinkWithItsOwnState) {
    EXPECT_EQ(ProcOf(dialog), HyperlinkParentProc);
    // The stored procedure is the dialog's own, not the replacement from the first link.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(dialog, PROP_ORIGINAL_PROC)), dialogProc);

    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ProcOf(links[i]), HyperlinkProc);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(links[i], PROP_ORIGINAL_PROC)), linkProcs[i]);
        EXPECT_EQ(GetPropA(links[i], PROP_ORIGINAL_FONT), dialogFont);
        EXPECT_EQ(GetPropA(links[i], PROP_FROM_STATIC), reinterpret_cast<HANDLE>(1));
        EXPECT_NE(GetWindowLongPtrA(links[i], GWL_STYLE) & SS_NOTIFY, 0);

        // State new: the underlined copy of the control's own font is shown.
        auto underline = static_cast<HGDIOBJ>(GetPropA(links[i], PROP_UNDERLINE_FONT));
        ASSERT_NE(underline, nullptr);
        EXPECT_EQ(FontOf(links[i]), underline);
        LOGFONTA own = Describe(dialogFont);
        LOGFONTA copy = Describe(underline);
        EXPECT_EQ(own.lfUnderline, 0);
        EXPECT_EQ(copy.lfUnderline, 1);
        EXPECT_EQ(copy.lfHeight, own.lfHeight);
        EXPECT_EQ(copy.lfWeight, own.lfWeight);
        EXPECT_EQ(std::string(copy.lfFaceName), std::string(own.lfFaceName));
    }
    EXPECT_NE(GetPropA(links[0], PROP_UNDERLINE_FONT), GetPropA(links[1], PROP_UNDERLINE_FONT));

    EXPECT_EQ(ProcOf(plain), plainProc);
    EXPECT_FALSE(HasAnyHyperlinkProperty(plain));
    EXPECT_EQ(GetWindowLongPtrA(plain, GWL_STYLE) & SS_NOTIFY, 0);
}

TEST_F(HyperlinkDialog, LinksAnswerControlColourWithTheLinkColourAndPlainTextDoesNot) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const COLORREF sentinel = RGB(1, 2, 3);
    struct Case {
        HWND control;
        bool link;
    } cases[] = {{links[0], true}, {plain, false}, {links[1], true}};
    for (const Case& c : cases) {
        // What the dialog's own procedure does for this control.
        SetTextColor(dc, sentinel);
        LRESULT ownBrush =
            CallWindowProcA(dialogProc, dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(c.control));
        COLORREF ownColour = GetTextColor(dc);
        ASSERT_NE(ownColour, HYPERLINK_COLOUR);

        SetTextColor(dc, sentinel);
        LRESULT brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(c.control));
        EXPECT_EQ(brush, ownBrush);
        EXPECT_EQ(GetTextColor(dc), c.link ? HYPERLINK_COLOUR : ownColour);
    }
    DeleteDC(dc);
}

TEST_F(HyperlinkDialog, HoverCapturesTheMouseAndLeavingRestoresTheOwnFont) {
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        HWND link = links[i];
        auto underline = reinterpret_cast<HFONT>(GetPropA(link, PROP_UNDERLINE_FONT));
        RECT client{};
        GetClientRect(link, &client);
        const int w = client.right;
        const int h = client.bottom;
        ASSERT_GT(w, 2);
        ASSERT_GT(h, 2);

        // Ways out of the rectangle, one edge at a time; right and bottom are exclusive.
        const POINT exits[] = {{-1, 1}, {w, 1}, {1, -1}, {1, h}, {w + 40, h + 40}};
        for (const POINT& exit : exits) {
            SCOPED_TRACE(testing::Message() << exit.x << "," << exit.y);
            SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
            EXPECT_EQ(GetCapture(), link);
            EXPECT_EQ(FontOf(link), underline);

            SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(w - 1, h - 1));
            EXPECT_EQ(GetCapture(), link);
            EXPECT_EQ(FontOf(link), underline);

            SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(exit.x, exit.y));
            EXPECT_EQ(GetCapture(), nullptr);
            EXPECT_EQ(FontOf(link), dialogFont);
        }
    }
}

TEST_F(HyperlinkDialog, CaptureTakenAwayLeavesTheLinkUnderlinedUntilTheNextMove) {
    HWND link = links[0];
    auto underline = reinterpret_cast<HFONT>(GetPropA(link, PROP_UNDERLINE_FONT));
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    ASSERT_EQ(GetCapture(), link);

    // Another window takes the capture: no message of the link's own handles that.
    SetCapture(links[1]);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(FontOf(link), underline);

    // The next move over the link takes the capture again, even from far outside.
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(500, 300));
    EXPECT_EQ(GetCapture(), link);
    EXPECT_EQ(FontOf(link), underline);
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(500, 300));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(FontOf(link), dialogFont);
}

TEST_F(HyperlinkDialog, SetCursorShowsTheHandAndEndsThere) {
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    ASSERT_NE(hand, nullptr);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(SendMessageA(links[1], WM_SETCURSOR, reinterpret_cast<WPARAM>(links[1]),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), hand);
}

TEST_F(HyperlinkDialog, ClicksReachTheDialogOnlyFromLinks) {
    for (HWND control : {links[1], plain, links[0]}) {
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ReleaseCapture();
    }
    const std::multimap<int, int> expected = {{IDC_LINK_FIRST, STN_CLICKED},
                                              {IDC_LINK_SECOND, STN_CLICKED}};
    EXPECT_EQ(ReceivedCommands, expected);
}

TEST_F(HyperlinkDialog, DestroyRestoresProceduresAndFontsAndDeletesOnlyTheUnderlinedFonts) {
    HGDIOBJ underlines[2] = {static_cast<HGDIOBJ>(GetPropA(links[0], PROP_UNDERLINE_FONT)),
                             static_cast<HGDIOBJ>(GetPropA(links[1], PROP_UNDERLINE_FONT))};
    // One link is idle, the other new, when the dialog goes.
    SendMessageA(links[0], WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    SendMessageA(links[0], WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));

    DestroyRecorder recorder;
    WatchedFont = dialogFont;
    ASSERT_TRUE(DestroyWindow(dialog));
    HWND gone = dialog;
    dialog = nullptr;

    ASSERT_EQ(DestroyedStates.count(gone), 1u);
    EXPECT_EQ(DestroyedStates[gone].procedure, dialogProc);
    EXPECT_FALSE(DestroyedStates[gone].properties);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(DestroyedStates.count(links[i]), 1u);
        const DestroyedState& state = DestroyedStates[links[i]];
        EXPECT_EQ(state.procedure, linkProcs[i]);
        EXPECT_EQ(state.font, dialogFont);
        EXPECT_FALSE(state.properties);
        EXPECT_EQ(state.originalFontType, static_cast<DWORD>(OBJ_FONT));
        EXPECT_EQ(GetObjectType(underlines[i]), 0u);
    }
    ASSERT_EQ(DestroyedStates.count(plain), 1u);
    EXPECT_EQ(DestroyedStates[plain].procedure, plainProc);
}

// Controls outside a dialog: a plain parent window and static controls made by hand.
class HyperlinkWindow : public testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "HyperlinkTestParent";
        RegisterClassA(&windowClass);
        parent = CreateWindowA("HyperlinkTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 203, 97,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        control =
            CreateWindowA("STATIC", "link", WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 7, 91, 13, parent,
                          reinterpret_cast<HMENU>(110), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(control, nullptr);
    }
    void TearDown() override {
        if (parent != nullptr && IsWindow(parent)) {
            DestroyWindow(parent);
        }
    }
    HWND parent = nullptr;
    HWND control = nullptr;
};

TEST_F(HyperlinkWindow, ControlWithoutFontGetsAnUnderlinedDefaultGuiFont) {
    ASSERT_EQ(FontOf(control), nullptr);
    ASSERT_EQ(MakeHyperlink(control), TRUE);
    EXPECT_EQ(GetPropA(control, PROP_ORIGINAL_FONT), nullptr);
    auto underline = static_cast<HGDIOBJ>(GetPropA(control, PROP_UNDERLINE_FONT));
    ASSERT_NE(underline, nullptr);
    LOGFONTA expected = Describe(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA copy = Describe(underline);
    EXPECT_EQ(copy.lfUnderline, 1);
    EXPECT_EQ(copy.lfHeight, expected.lfHeight);
    EXPECT_EQ(copy.lfCharSet, expected.lfCharSet);
    EXPECT_EQ(std::string(copy.lfFaceName), std::string(expected.lfFaceName));

    DestroyRecorder recorder;
    DestroyWindow(parent);
    ASSERT_EQ(DestroyedStates.count(control), 1u);
    EXPECT_EQ(DestroyedStates[control].font, nullptr);
    EXPECT_EQ(GetObjectType(underline), 0u);
}

TEST_F(HyperlinkWindow, FontOwnedByTheCallerSurvivesTheControl) {
    LOGFONTA description{};
    description.lfHeight = -11;
    description.lfWeight = FW_BOLD;
    lstrcpyA(description.lfFaceName, "Tahoma");
    HFONT own = CreateFontIndirectA(&description);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    ASSERT_EQ(MakeHyperlink(control), TRUE);
    auto underline = static_cast<HGDIOBJ>(GetPropA(control, PROP_UNDERLINE_FONT));
    LOGFONTA copy = Describe(underline);
    EXPECT_EQ(copy.lfHeight, -11);
    EXPECT_EQ(copy.lfWeight, FW_BOLD);
    EXPECT_EQ(copy.lfUnderline, 1);

    DestroyRecorder recorder;
    WatchedFont = own;
    DestroyWindow(parent);
    EXPECT_EQ(DestroyedStates[control].font, own);
    EXPECT_EQ(DestroyedStates[control].originalFontType, static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(DestroyedStates[parent].procedure, reinterpret_cast<WNDPROC>(DefWindowProcA));
    EXPECT_EQ(GetObjectType(own), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(underline), 0u);
    DeleteObject(own);
}

} // namespace
