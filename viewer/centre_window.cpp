// CentreWindow: centre, then clamp each axis to the virtual screen.
#include "centre_window.h"

namespace {

// Keeps [start, start + size) inside [low, high): the low edge wins when both cannot hold.
int ClampToSpan(int start, int size, int low, int high) {
    if (start < low) {
        return low;
    }
    if (start + size > high) {
        return high - size;
    }
    return start;
}

} // namespace

void CentreWindow(HWND window, HWND reference, int verticalOffset) {
    RECT frame{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (reference != nullptr && IsWindow(reference)) {
        GetWindowRect(reference, &frame);
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    int x = frame.left + (frame.right - frame.left - width) / 2;
    int y = frame.top + (frame.bottom - frame.top - height) / 2 + verticalOffset;

    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    x = ClampToSpan(x, width, left, left + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    y = ClampToSpan(y, height, top, top + GetSystemMetrics(SM_CYVIRTUALSCREEN));

    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
