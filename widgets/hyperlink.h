// Turns a static text control of a dialog into a web link: link-coloured text, underlined
// while the mouse is over it, the hand cursor. All state lives in window properties of the
// control and of its parent; clicks reach the parent as the static control's STN_CLICKED.
#pragma once

#include <windows.h>

inline constexpr COLORREF HYPERLINK_COLOUR = RGB(0, 0, 192);

// Window property names: on the control and (the first one) on the containing window.
inline constexpr const char* PROP_ORIGINAL_PROC = "_Hyperlink_Original_Proc_";
inline constexpr const char* PROP_ORIGINAL_FONT = "_Hyperlink_Original_Font_";
inline constexpr const char* PROP_UNDERLINE_FONT = "_Hyperlink_Underline_Font_";
inline constexpr const char* PROP_FROM_STATIC = "_Hyperlink_From_Static_";

// Makes the static control a hyperlink and returns TRUE. Called once per control.
BOOL MakeHyperlink(HWND control);

// The control's replacement window procedure.
LRESULT CALLBACK HyperlinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The containing window's replacement window procedure.
LRESULT CALLBACK HyperlinkParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
