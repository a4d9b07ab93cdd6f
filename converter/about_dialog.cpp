// The About box's procedure: it routes WM_INITDIALOG and WM_COMMAND to one handler each.
#include "about_dialog.h"

#include "blocking_calls.h"
#include "class_icon.h"
#include "hyperlink.h"
#include "program_values.h"
#include "resource.h"

namespace {

INT_PTR OnAboutInitDialog(HWND dialog) {
    MakeHyperlink(GetDlgItem(dialog, IDC_WEB_LINK));
    SetDialogClassIcon(dialog);
    return TRUE; // the platform gives the focus to "OK"
}

INT_PTR OnAboutCommand(HWND dialog, WORD command, WORD notification) {
    switch (command) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, command);
        return TRUE;
    case IDC_WEB_LINK:
        if (notification == STN_CLICKED) {
            OpenWebAddress();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        return OnAboutInitDialog(dialog);
    case WM_COMMAND:
        return OnAboutCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}

INT_PTR ShowAboutBox(HWND owner) {
    return DialogBoxParamA(ProgramInstance, "ZenconvAbout", owner, AboutDialogProc, 0);
}
