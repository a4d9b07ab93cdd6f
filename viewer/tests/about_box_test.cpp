// The About box from "&Information...": its template, its place over the viewer window
// (kept on the virtual screen), the link and the two ways to close it. The box is modal,
// so a thread timer inspects and closes it from within its own message loop.
#include "window_test_support.h"

#include "hyperlink.h"
#include "resource.h"

#include <string>

namespace {

struct SeenBox {
    HWND dialog = nullptr;
    RECT place{};
    LONG_PTR style = 0;
    LONG_PTR extendedStyle = 0;
    std::string text;
    bool linkMade = false;
    WORD closeWith = IDOK;
    bool clickLink = false;
};

SeenBox Seen;

BOOL CALLBACK FindAboutBox(HWND window, LPARAM) {
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (std::string(title) == "About Zentra Image Viewer") {
        Seen.dialog = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK InspectAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, 0);
    if (Seen.dialog == nullptr) {
        return; // not shown yet: try again on the next tick
    }
    KillTimer(nullptr, timer);
    GetWindowRect(Seen.dialog, &Seen.place);
    Seen.style = GetWindowLongPtrA(Seen.dialog, GWL_STYLE);
    Seen.extendedStyle = GetWindowLongPtrA(Seen.dialog, GWL_EXSTYLE);
    char text[256] = "";
    GetDlgItemTextA(Seen.dialog, IDC_WEB_LINK, text, sizeof text);
    Seen.text = text;
    HWND link = GetDlgItem(Seen.dialog, IDC_WEB_LINK);
    Seen.linkMade = GetPropA(link, PROP_FROM_STATIC) != nullptr;
    if (Seen.clickLink) {
        SendMessageA(Seen.dialog, WM_COMMAND, MAKEWPARAM(IDC_WEB_LINK, STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
    }
    PostMessageA(Seen.dialog, WM_COMMAND, MAKEWPARAM(Seen.closeWith, BN_CLICKED), 0);
}

class AboutBoxTest : public ViewerWindowTest {
  protected:
    // Moves the viewer window, opens the box and returns what the timer saw.
    SeenBox OpenAt(int x, int y, WORD closeWith, bool clickLink) {
        if (window_ == nullptr) {
            CreateWindowNow();
        }
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Seen = SeenBox{};
        Seen.closeWith = closeWith;
        Seen.clickLink = clickLink;
        SetTimer(nullptr, 0, 20, InspectAboutBox);
        Command(103);
        EXPECT_NE(Seen.dialog, nullptr);
        EXPECT_FALSE(IsWindow(Seen.dialog)) << "the box is closed when the command returns";
        return Seen;
    }

    RECT ViewerPlace() const {
        RECT place{};
        GetWindowRect(window_, &place);
        return place;
    }
};

TEST_F(AboutBoxTest, CentredOverTheViewerWindow) {
    const SeenBox box = OpenAt(137, 61, IDOK, false);
    const RECT viewer = ViewerPlace();
    const int width = box.place.right - box.place.left;
    const int height = box.place.bottom - box.place.top;
    EXPECT_EQ(box.place.left, viewer.left + (viewer.right - viewer.left - width) / 2);
    EXPECT_EQ(box.place.top, viewer.top + (viewer.bottom - viewer.top - height) / 2);
    EXPECT_GT(width, 0);
    EXPECT_LT(width, 600);
}

struct OffScreenCase {
    int x;
    int y;
};

TEST_F(AboutBoxTest, StaysOnTheVirtualScreenWhenTheViewerIsDraggedOff) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const OffScreenCase cases[] = {
        {left - 500, top + 100},  // off to the left
        {right - 90, top + 50},   // off to the right
        {left + 30, top - 370},   // off the top
        {right - 80, bottom - 30} // off the right and the bottom
    };
    for (const OffScreenCase& c : cases) {
        const SeenBox box = OpenAt(c.x, c.y, IDCANCEL, false);
        const RECT viewer = ViewerPlace();
        const int width = box.place.right - box.place.left;
        const int height = box.place.bottom - box.place.top;
        int x = viewer.left + (viewer.right - viewer.left - width) / 2;
        int y = viewer.top + (viewer.bottom - viewer.top - height) / 2;
        x = x < left ? left : (x + width > right ? right - width : x);
        y = y < top ? top : (y + height > bottom ? bottom - height : y);
        EXPECT_EQ(box.place.left, x) << "viewer at " << c.x << ", " << c.y;
        EXPECT_EQ(box.place.top, y) << "viewer at " << c.x << ", " << c.y;
        EXPECT_GE(box.place.left, left);
        EXPECT_GE(box.place.top, top);
        EXPECT_LE(box.place.right, right);
        EXPECT_LE(box.place.bottom, bottom);
    }
}

TEST_F(AboutBoxTest, TemplateLinkAndClosing) {
    const SeenBox box = OpenAt(100, 100, IDCANCEL, true);
    EXPECT_NE(box.style & WS_CAPTION, 0);
    EXPECT_EQ(box.style & WS_SYSMENU, 0);
    EXPECT_NE(box.extendedStyle & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(box.text, ZENVIEW_WEB_ADDRESS);
    EXPECT_TRUE(box.linkMade);
    ASSERT_EQ(Recorded.shells.size(), 1u);
    EXPECT_EQ(Recorded.shells[0].owner, box.dialog);
    EXPECT_EQ(Recorded.shells[0].verb, "(none)");
    EXPECT_EQ(Recorded.shells[0].file, ZENVIEW_WEB_ADDRESS);
    EXPECT_FALSE(Recorded.shells[0].parametersGiven);
    EXPECT_EQ(Recorded.shells[0].show, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowEnabled(window_)) << "the owner is enabled again after the box";
}

} // namespace
