// The main dialog's template as the platform builds it: controls in tab order with their
// classes, texts, rectangles (dialog units, mapped by the dialog itself) and styles.
#include "main_dialog.h"
#include "program_values.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    RECT units; // x, y, width, height in dialog units, as the template gives them
    LONG_PTR styles;
    LONG_PTR exStyles;
};

// The template also gives the lists WS_VSCROLL, but a list box hides its scroll bar (and
// drops the style) while its entries fit, so an empty list cannot show it.
constexpr LONG_PTR LIST_STYLES = LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;

const ExpectedControl MAIN_CONTROLS[] = {
    {100, "Button", "Add &file", {10, 10, 140, 14}, BS_FLAT | WS_TABSTOP, 0},
    {101, "ListBox", "", {10, 25, 140, 95}, LIST_STYLES, WS_EX_STATICEDGE},
    {102, "Button", "Add bitmap/display &type", {154, 10, 140, 14}, BS_FLAT | WS_TABSTOP, 0},
    {103, "ListBox", "", {154, 25, 140, 95}, LIST_STYLES, WS_EX_STATICEDGE},
    {104, "Button", "&Convert", {300, 10, 90, 14}, BS_FLAT | WS_TABSTOP, 0},
    {2, "Button", "C&lose", {300, 26, 90, 14}, BS_FLAT | WS_TABSTOP, 0},
    {105, "Button", "&Information...", {300, 42, 90, 14}, BS_FLAT | WS_TABSTOP, 0},
    {106, "Button", "&Animation", {300, 60, 90, 10}, BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP, 0},
    {107, "Static", "&Delay:", {330, 72, 30, 8}, WS_DISABLED, 0},
    // The edit control turns its WS_BORDER into WS_EX_CLIENTEDGE when it is created.
    // Initialisation puts the stored delay into it: 0 without a settings file.
    {108, "Edit", "0", {360, 70, 30, 12}, ES_NUMBER | WS_TABSTOP | WS_DISABLED, 0},
    {110, "Static", ZENCONV_WEB_ADDRESS_TEXT, {300, 112, 80, 8}, SS_NOTIFY | SS_NOPREFIX, 0},
};

// Where the dialog manager puts a control of the template: it scales the position and the
// size by the dialog's base units and rounds each on its own, so the right edge is the scaled
// x plus the scaled width, which can differ by a pixel from the scaled (x + width) for some
// fonts. Mapped on the dialog itself, the expectation holds for whatever font it was given.
RECT PlacedRectangle(HWND dialog, const RECT& units) {
    RECT scaled = units;
    MapDialogRect(dialog, &scaled);
    return {scaled.left, scaled.top, scaled.left + scaled.right, scaled.top + scaled.bottom};
}

TEST(MainTemplate, ControlsAppearInTabOrderWithTheirTextsRectanglesAndStyles) {
    ProgramInstance = GetModuleHandleA(nullptr);
    SetProgramPaths("Z:\\nonexistent zentra folder\\zenconv.exe");
    HWND dialog = CreateDialogParamA(ProgramInstance, "ZenconvMain", nullptr, MainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);

    char text[128] = "";
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Zentra Image converter");
    const LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_POPUP),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_POPUP);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    RECT client{};
    GetClientRect(dialog, &client);
    RECT size{0, 0, 400, 128};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ExpectedControl& expected : MAIN_CONTROLS) {
        SCOPED_TRACE(expected.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        GetClassNameA(child, text, sizeof text);
        EXPECT_STREQ(text, expected.className);
        GetWindowTextA(child, text, sizeof text);
        EXPECT_STREQ(text, expected.text);

        const RECT want = PlacedRectangle(dialog, expected.units);
        RECT got{};
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        EXPECT_EQ(got.bottom, want.bottom);

        const LONG_PTR childStyle = GetWindowLongPtrA(child, GWL_STYLE);
        EXPECT_EQ(childStyle & expected.styles, expected.styles);
        if (std::string(expected.className) == "Button") {
            // No push button is the default button.
            EXPECT_NE(childStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        }
        const LONG_PTR exStyle = GetWindowLongPtrA(child, GWL_EXSTYLE);
        EXPECT_EQ(exStyle & WS_EX_STATICEDGE, expected.exStyles);
        if (expected.id == IDC_DELAY) {
            EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    DestroyWindow(dialog);
}

} // namespace
