// The main dialog's procedure. The switch only routes; each message and command has its
// own handler. The dialog's own state lives with its window (DWLP_USER).
#include "main_dialog.h"

#include "about_dialog.h"
#include "add_files.h"
#include "blocking_calls.h"
#include "class_icon.h"
#include "convert_command.h"
#include "delete_key_watcher.h"
#include "display_profiles.h"
#include "drop_files.h"
#include "file_list.h"
#include "hyperlink.h"
#include "message_box_sink.h"
#include "options_dialog.h"
#include "program_values.h"
#include "resource.h"
#include "settings.h"
#include "type_code.h"
#include "type_popup.h"

#include <cstdio>

namespace {

inline constexpr const char* NO_PROFILES_TEXT =
    "No display profiles were found.\nProbable cause: the file \"displays.prf\" is missing";

void EnableDelay(HWND dialog, bool enable) {
    EnableWindow(GetDlgItem(dialog, IDC_DELAY_LABEL), enable ? TRUE : FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_DELAY), enable ? TRUE : FALSE);
}

void WriteSettingNumber(const char* key, int value) {
    char text[16] = "";
    std::snprintf(text, sizeof text, "%d", value);
    WriteSettingText(key, text);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM startPictures) {
    auto* state = new MainDialogState;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    MakeHyperlink(GetDlgItem(dialog, IDC_WEB_LINK));
    SetDialogClassIcon(dialog);
    AddOptionsMenuItem(dialog);

    char profilePath[PATH_BUFFER_SIZE + 16] = "";
    std::snprintf(profilePath, sizeof profilePath, "%s\\displays.prf", ProgramDirectory);
    LoadDisplayProfiles(profilePath, state->profiles);

    const bool animation = ReadSettingInt("animation", 0) != 0;
    CheckDlgButton(dialog, IDC_ANIMATION, animation ? BST_CHECKED : BST_UNCHECKED);
    const int delay = ReadSettingInt("delay", 0);
    SetDlgItemInt(dialog, IDC_DELAY, static_cast<UINT>(delay < 0 ? 0 : delay), FALSE);
    EnableDelay(dialog, animation);

    InstallDeleteKeyWatcher(dialog);
    AcceptShellPictures(dialog, reinterpret_cast<const std::vector<std::string>*>(startPictures));
    return TRUE; // the platform gives the focus to the first control, "Add &file"
}

// Whatever way the dialog goes, its hook, the file list's path copies and its state go
// with it.
INT_PTR OnDestroy(HWND dialog, MainDialogState* state) {
    RemoveDeleteKeyWatcher();
    ClearFileList(GetDlgItem(dialog, IDC_FILE_LIST));
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    delete state;
    return FALSE;
}

INT_PTR OnClose(HWND dialog, MainDialogState& state) {
    FreeDisplayProfiles(state.profiles);
    WriteSettingNumber("animation", IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED);
    WriteSettingNumber("delay", static_cast<int>(ReadDelayField(dialog).value_or(0)));
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR OnAddFile(HWND dialog) {
    AddSelectedFiles(dialog);
    return TRUE;
}

INT_PTR OnAddType(HWND dialog, const MainDialogState& state) {
    HMENU popup = GetSubMenu(TypeMenu, 0);
    if (!FillTypePopup(popup, state.profiles)) {
        PlatformCalls.MessageBoxA(dialog, NO_PROFILES_TEXT, CONVERTER_CAPTION,
                                  MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    }
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, IDC_ADD_TYPE), &button);
    PlatformCalls.TrackPopupMenu(popup, 0, button.left, button.bottom, 0, dialog, nullptr);
    return TRUE;
}

INT_PTR OnChooseType(HWND dialog, const MainDialogState& state, UINT identifier) {
    const DisplayProfile* profile = ProfileForTypeItem(state.profiles, identifier);
    if (profile == nullptr) {
        return FALSE;
    }
    HWND typeList = GetDlgItem(dialog, IDC_TYPE_LIST);
    const LRESULT index = SendMessageA(typeList, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(ProfileText(*profile).c_str()));
    if (index >= 0) {
        SendMessageA(typeList, LB_SETITEMDATA, static_cast<WPARAM>(index),
                     static_cast<LPARAM>(MakeTypeCode(profile->layout, profile->depth)));
    }
    return TRUE;
}

INT_PTR OnListFocus(bool& flag, WORD notification) {
    if (notification == LBN_SETFOCUS) {
        flag = true;
    } else if (notification == LBN_KILLFOCUS) {
        flag = false;
    } else {
        return FALSE;
    }
    return TRUE;
}

INT_PTR OnDeleteKeyDown(HWND dialog, const MainDialogState& state, WPARAM key) {
    if (key != VK_DELETE || state.busy) {
        return TRUE;
    }
    const int target = state.fileListHasFocus   ? IDC_FILE_LIST
                       : state.typeListHasFocus ? IDC_TYPE_LIST
                                                : 0;
    if (target == 0) {
        return TRUE;
    }
    HWND list = GetDlgItem(dialog, target);
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected < 0) {
        return TRUE;
    }
    if (target == IDC_FILE_LIST) {
        DeleteFileEntry(list, static_cast<int>(selected));
    } else {
        SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    }
    return TRUE;
}

INT_PTR OnAnimation(HWND dialog) {
    const bool ticked = IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED;
    EnableDelay(dialog, ticked);
    if (ticked && GetWindowTextLengthA(GetDlgItem(dialog, IDC_DELAY)) == 0) {
        SetDlgItemTextA(dialog, IDC_DELAY, "0");
    }
    return TRUE;
}

INT_PTR OnConvert(HWND dialog, MainDialogState& state) {
    state.busy = true;
    ConvertLists(dialog, state.profiles);
    state.busy = false;
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

// While a conversion runs, the lists are not edited and no second conversion starts; the
// About box, the link, the focus notifications and the check box (which toggles itself)
// still answer.
bool RefusedWhileBusy(const MainDialogState& state, WORD command) {
    return state.busy && command != IDC_INFORMATION && command != IDC_WEB_LINK &&
           command != IDC_FILE_LIST && command != IDC_TYPE_LIST && command != IDC_ANIMATION;
}

INT_PTR OnCommand(HWND dialog, MainDialogState& state, WORD command, WORD notification) {
    if (RefusedWhileBusy(state, command)) {
        return TRUE;
    }
    switch (command) {
    case IDC_ADD_FILE:
        return OnAddFile(dialog);
    case IDC_FILE_LIST:
        return OnListFocus(state.fileListHasFocus, notification);
    case IDC_ADD_TYPE:
        return OnAddType(dialog, state);
    case IDC_TYPE_LIST:
        return OnListFocus(state.typeListHasFocus, notification);
    case IDC_CONVERT:
        return OnConvert(dialog, state);
    case IDCANCEL:
        return OnClose(dialog, state);
    case IDC_INFORMATION:
        return OnInformation(dialog);
    case IDC_ANIMATION:
        return OnAnimation(dialog);
    case IDC_WEB_LINK:
        return OnWebLink(notification);
    default:
        return OnChooseType(dialog, state, command);
    }
}

// The system menu's "Options..."; every other system command is the platform's.
INT_PTR OnSysCommand(HWND dialog, const MainDialogState& state, WPARAM command) {
    if ((command & 0xFFF0) != IDM_OPTIONS || state.busy) {
        return FALSE;
    }
    ShowOptionsDialog(dialog);
    return TRUE;
}

} // namespace

MainDialogState* MainDialogStateOf(HWND dialog) {
    return reinterpret_cast<MainDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return OnInitDialog(dialog, lParam);
    }
    MainDialogState* state = MainDialogStateOf(dialog);
    if (state == nullptr) {
        return FALSE; // before initialisation and after the state has gone
    }
    switch (message) {
    case WM_COMMAND:
        return OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
    case WM_DELETEKEY_DOWN:
        return OnDeleteKeyDown(dialog, *state, wParam);
    case WM_DROPFILES:
        return OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam), state->busy);
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, *state, wParam);
    case WM_DESTROY:
        return OnDestroy(dialog, state);
    default:
        return FALSE;
    }
}

INT_PTR RunMainDialog(const std::vector<std::string>& startPictures) {
    return DialogBoxParamA(ProgramInstance, "ZenconvMain", nullptr, MainDialogProc,
                           reinterpret_cast<LPARAM>(&startPictures));
}
