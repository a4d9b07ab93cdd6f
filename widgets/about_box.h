// The About box that both programs show from "&Information...": their own template, the
// maker's web address made a link, "OK", Enter, Escape and the close box ending it. What
// each program adds on creation and how it opens the address come with the call.
#pragma once

#include <windows.h>

// What sets one program's About box apart from the other's. The converter's box takes the
// application icon into its window class, which its main dialog shares; the viewer's box
// is placed over the viewer window. Both open the web address in their own way, as they
// do elsewhere (the converter with no owner window, the viewer owned by the box).
struct AboutBoxSetup {
    // Called once the box is created and its link made.
    void (*onCreated)(HWND dialog);
    // Called for a click on the link (control 110); the box stays open.
    void (*openWebAddress)(HWND dialog);
};

// The box's procedure. WM_INITDIALOG carries the setup (a pointer that outlives the box);
// the box keeps it in DWLP_USER for its commands.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the named template modally with AboutDialogProc, owned by the given window, and
// returns the number of the command that closed it (1 or 2).
INT_PTR RunAboutBox(HINSTANCE instance, const char* templateName, HWND owner,
                    const AboutBoxSetup& setup);
