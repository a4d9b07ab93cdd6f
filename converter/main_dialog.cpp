// The main dialog's procedure. The switch only routes; each message and command has its
// own handler.
#include "main_dialog.h"

#include "about_dialog.h"
#include "class_icon.h"
#include "hyperlink.h"
#include "program_values.h"
#include "resource.h"

namespace {

INT_PTR OnInitDialog(HWND dialog) {
    MakeHyperlink(GetDlgItem(dialog, IDC_WEB_LINK));
    SetDialogClassIcon(dialog);
    return TRUE; // the platform gives the focus to the first control, "Add &file"
}

INT_PTR OnClose(HWND dialog) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR OnInformation(HWND dialog) {
    ShowAboutBox(dialog);
    return TRUE;
}

INT_PTR OnWebLink(WORD notification) {
    if (notification != STN_CLICKED) {
        return FALSE;
    }
    OpenWebAddress();
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WORD command, WORD notification) {
    switch (command) {
    case IDCANCEL:
        return OnClose(dialog);
    case IDC_INFORMATION:
        return OnInformation(dialog);
    case IDC_WEB_LINK:
        return OnWebLink(notification);
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}

INT_PTR RunMainDialog() {
    return DialogBoxParamA(ProgramInstance, "ZenconvMain", nullptr, MainDialogProc, 0);
}
