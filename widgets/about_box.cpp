// The About box's procedure: it routes WM_INITDIALOG and WM_COMMAND to one handler each.
#include "about_box.h"

#include "hyperlink.h"

namespace {

// Control 110 of both templates: the maker's web address.
constexpr WORD ABOUT_WEB_LINK = 110;

const AboutBoxSetup* SetupOf(HWND dialog) {
    return reinterpret_cast<const AboutBoxSetup*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR OnAboutInitDialog(HWND dialog, const AboutBoxSetup* setup) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(setup));
    MakeHyperlink(GetDlgItem(dialog, ABOUT_WEB_LINK));
    if (setup != nullptr && setup->onCreated != nullptr) {
        setup->onCreated(dialog);
    }
    return TRUE; // the platform gives the focus to "OK"
}

INT_PTR OnAboutCommand(HWND dialog, WORD command, WORD notification) {
    switch (command) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, command);
        return TRUE;
    case ABOUT_WEB_LINK: {
        // The link is the box's own control: every command from it counts as handled.
        const AboutBoxSetup* setup = SetupOf(dialog);
        if (notification == STN_CLICKED && setup != nullptr && setup->openWebAddress != nullptr) {
            setup->openWebAddress(dialog);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnAboutInitDialog(dialog, reinterpret_cast<const AboutBoxSetup*>(lParam));
    case WM_COMMAND:
        return OnAboutCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}

INT_PTR RunAboutBox(HINSTANCE instance, const char* templateName, HWND owner,
                    const AboutBoxSetup& setup) {
    return DialogBoxParamA(instance, templateName, owner, AboutDialogProc,
                           reinterpret_cast<LPARAM>(&setup));
}
