// The hyperlink control: window-procedure replacement for a static control and its parent.
//
// The original procedures are read and written with Get/SetWindowLongPtrA and GWLP_WNDPROC.
// On 32-bit Windows these are exactly GetWindowLongA/SetWindowLongA with GWL_WNDPROC; the
// Ptr forms keep the full pointer in the 64-bit build that runs the tests.
#include "hyperlink.h"

#include <windowsx.h>

namespace {

WNDPROC StoredProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropA(window, PROP_ORIGINAL_PROC));
}

WNDPROC CurrentProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

void InstallProc(HWND window, WNDPROC procedure) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// The description of the control's font, or of the system's default GUI font when the
// control reports none (a font is never built from an unfilled description).
LOGFONTA DescribeFont(HFONT font) {
    LOGFONTA description{};
    if (font != nullptr && GetObjectA(font, sizeof description, &description) != 0) {
        return description;
    }
    description = LOGFONTA{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    return description;
}

void ShowFont(HWND control, const char* property) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetPropA(control, property)), FALSE);
    InvalidateRect(control, nullptr, FALSE);
}

LRESULT OnMouseMove(HWND control, WNDPROC original, WPARAM wParam, LPARAM lParam) {
    if (GetCapture() != control) {
        ShowFont(control, PROP_UNDERLINE_FONT);
        SetCapture(control);
    } else {
        POINT cursor{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(control, &cursor);
        RECT bounds{};
        GetWindowRect(control, &bounds);
        if (!PtInRect(&bounds, cursor)) {
            ShowFont(control, PROP_ORIGINAL_FONT);
            ReleaseCapture();
        }
    }
    return CallWindowProcA(original, control, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnSetCursor() {
    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)); // IDC_HAND
    SetCursor(hand != nullptr ? hand : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    return TRUE;
}

LRESULT OnControlDestroy(HWND control, WNDPROC original, WPARAM wParam, LPARAM lParam) {
    InstallProc(control, original);
    RemovePropA(control, PROP_ORIGINAL_PROC);
    SendMessageA(control, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetPropA(control, PROP_ORIGINAL_FONT)), FALSE);
    RemovePropA(control, PROP_ORIGINAL_FONT);
    DeleteObject(static_cast<HGDIOBJ>(GetPropA(control, PROP_UNDERLINE_FONT)));
    RemovePropA(control, PROP_UNDERLINE_FONT);
    RemovePropA(control, PROP_FROM_STATIC);
    return CallWindowProcA(original, control, WM_DESTROY, wParam, lParam);
}

} // namespace

BOOL MakeHyperlink(HWND control) {
    HWND parent = GetParent(control);
    if (parent != nullptr && CurrentProc(parent) != HyperlinkParentProc) {
        SetPropA(parent, PROP_ORIGINAL_PROC, reinterpret_cast<HANDLE>(CurrentProc(parent)));
        InstallProc(parent, HyperlinkParentProc);
    }

    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);

    SetPropA(control, PROP_ORIGINAL_PROC, reinterpret_cast<HANDLE>(CurrentProc(control)));
    InstallProc(control, HyperlinkProc);

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    SetPropA(control, PROP_ORIGINAL_FONT, font);

    LOGFONTA description = DescribeFont(font);
    description.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&description);
    SetPropA(control, PROP_UNDERLINE_FONT, underlined);

    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), FALSE);
    SetPropA(control, PROP_FROM_STATIC, reinterpret_cast<HANDLE>(1));
    return TRUE;
}

LRESULT CALLBACK HyperlinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = StoredProc(window);
    switch (message) {
    case WM_MOUSEMOVE:
        return OnMouseMove(window, original, wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_DESTROY:
        return OnControlDestroy(window, original, wParam, lParam);
    default:
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
}

LRESULT CALLBACK HyperlinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = StoredProc(window);
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (GetPropA(reinterpret_cast<HWND>(lParam), PROP_FROM_STATIC) != nullptr) {
            LRESULT brush = CallWindowProcA(original, window, message, wParam, lParam);
            SetTextColor(reinterpret_cast<HDC>(wParam), HYPERLINK_COLOUR);
            return brush;
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    case WM_DESTROY:
        InstallProc(window, original);
        RemovePropA(window, PROP_ORIGINAL_PROC);
        return CallWindowProcA(original, window, message, wParam, lParam);
    default:
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
}
