// The viewer window's procedure: its switch only routes, one handler per message and per
// menu command. All state is in ViewerState; the display bitmap changes only through
// DecodeRecord or, while playing, the frame player, and zoom and invert only change how
// it is drawn.
#include "viewer_window.h"

#include "about_dialog.h"
#include "blocking_calls.h"
#include "decode_record.h"
#include "dropped_files.h"
#include "file_dialog.h"
#include "paint_display_bitmap.h"
#include "picture_commands.h"
#include "playback.h"
#include "program_values.h"
#include "record_list.h"
#include "resource.h"
#include "usage_guide.h"

#include <commdlg.h>

#include <algorithm>
#include <cctype>

ViewerWindowState ViewerState;

namespace {

// The window's part in playing: its list, file, bitmap and play state.
PlaybackWindow PlaybackOf(HWND window) {
    return {window,
            ViewerState.RecordList,
            ViewerState.CurrentFileName,
            ViewerState.displayBitmap,
            ViewerState.playing,
            ViewerState.player};
}

int ListWidth(int clientWidth) {
    return std::max(0, clientWidth - 2 * LIST_MARGIN);
}

// Decodes the selected record (none: -1) again; the repaint requested first happens after
// the current message, so it shows the new bitmap.
void Redecode(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    const auto selection =
        static_cast<int>(SendMessageA(ViewerState.RecordList, LB_GETCURSEL, 0, 0));
    DecodeRecord(ViewerState.CurrentFileName, selection < 0 ? -1 : selection, ViewerState.buildup,
                 ViewerState.displayBitmap);
}

LRESULT OnCreate(HWND window) {
    ViewerState = ViewerWindowState{};
    RECT client{};
    GetClientRect(window, &client);
    ViewerState.RecordList = CreateWindowExA(
        WS_EX_CLIENTEDGE, "ListBox", nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT |
            LBS_HASSTRINGS | LBS_NOTIFY,
        LIST_MARGIN, LIST_MARGIN, ListWidth(client.right), LIST_HEIGHT, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RECORD_LIST)), ViewerInstance, nullptr);
    DragAcceptFiles(window, TRUE);
    ViewerState.zoom = ReadSettingInt(VIEWER_SETTINGS, "zoom", 1);
    ViewerState.invert = ReadSettingInt(VIEWER_SETTINGS, "invert", 0) != 0;
    ViewerState.buildup = ReadSettingInt(VIEWER_SETTINGS, "buildup", 0) != 0;
    return 0;
}

LRESULT OnDestroy(HWND window) {
    StopPlaying(PlaybackOf(window));
    WriteSettingInt(VIEWER_SETTINGS, "zoom", ViewerState.zoom);
    WriteSettingInt(VIEWER_SETTINGS, "invert", ViewerState.invert ? 1 : 0);
    WriteSettingInt(VIEWER_SETTINGS, "buildup", ViewerState.buildup ? 1 : 0);
    DestroyWindow(ViewerState.RecordList);
    ViewerState.RecordList = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT OnSize(int clientWidth) {
    MoveWindow(ViewerState.RecordList, LIST_MARGIN, LIST_MARGIN, ListWidth(clientWidth),
               LIST_HEIGHT, TRUE);
    return 0;
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (ViewerState.displayBitmap.pixels) {
        PaintDisplayBitmap(dc, ViewerState.displayBitmap, PICTURE_X, PICTURE_Y, ViewerState.zoom,
                           ViewerState.invert);
    } else {
        PaintPrompt(dc, PICTURE_X, PICTURE_Y,
                    ViewerState.CurrentFileName.empty() ? PROMPT_OPEN_FILE : PROMPT_SELECT_RECORD);
    }
    EndPaint(window, &paint);
    return 0;
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT OnInitMenuPopup(HMENU popup) {
    CheckItem(popup, IDM_ZOOM_1, ViewerState.zoom == 1);
    CheckItem(popup, IDM_ZOOM_2, ViewerState.zoom == 2);
    CheckItem(popup, IDM_ZOOM_4, ViewerState.zoom == 4);
    CheckItem(popup, IDM_INVERT, ViewerState.invert);
    CheckItem(popup, IDM_BUILD_UP, ViewerState.buildup);
    CheckItem(popup, IDM_PLAY, ViewerState.playing);
    return 0;
}

// The path up to, not including, its last backslash (the path must hold one).
std::string DirectoryOf(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

void OnOpenFile(HWND window) {
    char initialDirectory[SETTING_TEXT_SIZE];
    ReadSettingText(VIEWER_SETTINGS, "directory", "", initialDirectory);
    char fileName[PATH_BUFFER_SIZE] = "";

    OPENFILENAMEA dialog =
        FileDialogData(window, "Zentra Images\0*.ztr\0", fileName, sizeof fileName);
    dialog.lpstrInitialDir = initialDirectory[0] != '\0' ? initialDirectory : nullptr;
    dialog.Flags = OFN_FILEMUSTEXIST;
    if (PlatformCalls.GetOpenFileNameA(&dialog)) {
        OpenViewerFile(window, fileName);
    }
}

bool IsZentraFileName(const std::string& path) {
    const std::string extension = ".ztr";
    if (path.size() < extension.size()) {
        return false;
    }
    return std::equal(extension.begin(), extension.end(), path.end() - 4, [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

// The first dropped Zentra file is opened; other files, and paths too long for the
// platform's path buffer, are ignored.
LRESULT OnDropFiles(HWND window, HDROP drop) {
    for (const std::string& path : TakeDroppedPaths(drop)) {
        if (IsZentraFileName(path) && path.size() < PATH_BUFFER_SIZE) {
            OpenViewerFile(window, path);
            break;
        }
    }
    return 0;
}

void OnZoom(HWND window, int zoom) {
    ViewerState.zoom = zoom;
    InvalidateRect(window, nullptr, TRUE);
}

void OnInvert(HWND window) {
    ViewerState.invert = !ViewerState.invert;
    InvalidateRect(window, nullptr, TRUE);
}

void OnBuildUp(HWND window) {
    ViewerState.buildup = !ViewerState.buildup;
    Redecode(window);
}

// A selection by the user stops playing; playing itself moves the selection without this
// notification.
void OnRecordList(HWND window, WORD notification) {
    if (notification == LBN_SELCHANGE) {
        StopPlaying(PlaybackOf(window));
        Redecode(window);
    }
}

LRESULT OnCommand(HWND window, WORD command, WORD notification) {
    switch (command) {
    case IDM_OPEN:
        OnOpenFile(window);
        break;
    case IDM_EXIT:
        DestroyWindow(window);
        break;
    case IDM_USAGE_GUIDE:
        OpenUsageGuide(window, ModuleDirectory);
        break;
    case IDM_INFORMATION:
        ShowAboutBox(window);
        break;
    case IDM_ZOOM_1:
        OnZoom(window, 1);
        break;
    case IDM_ZOOM_2:
        OnZoom(window, 2);
        break;
    case IDM_ZOOM_4:
        OnZoom(window, 4);
        break;
    case IDM_INVERT:
        OnInvert(window);
        break;
    case IDM_BUILD_UP:
        OnBuildUp(window);
        break;
    case IDM_PLAY:
        TogglePlaying(PlaybackOf(window));
        break;
    case IDM_COPY:
        CopyShownPicture(window, ViewerState.displayBitmap, ViewerState.zoom, ViewerState.invert);
        break;
    case IDM_SAVE_PICTURE:
        SaveShownPicture(window, ViewerState.displayBitmap, ViewerState.zoom, ViewerState.invert,
                         ViewerState.CurrentFileName);
        break;
    case IDC_RECORD_LIST:
        OnRecordList(window, notification);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnTimer(HWND window, WPARAM timer) {
    if (timer == PLAY_TIMER_ID) {
        OnPlayTimer(PlaybackOf(window));
    }
    return 0;
}

} // namespace

void OpenViewerFile(HWND window, const std::string& path) {
    StopPlaying(PlaybackOf(window));
    ViewerState.CurrentFileName = path;
    if (ViewerState.CurrentFileName.find('\\') != std::string::npos) {
        WriteSettingText(VIEWER_SETTINGS, "directory",
                         DirectoryOf(ViewerState.CurrentFileName).c_str());
    }

    if (!FillRecordList(ViewerState.RecordList, ViewerState.CurrentFileName)) {
        PlatformCalls.MessageBoxA(window, "Failed to open file.", nullptr, MB_ICONEXCLAMATION);
        return;
    }
    const auto lines = SendMessageA(ViewerState.RecordList, LB_GETCOUNT, 0, 0);
    SendMessageA(ViewerState.RecordList, LB_SETCURSEL, lines > 0 ? 0 : static_cast<WPARAM>(-1), 0);
    Redecode(window);
}

extern "C" LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_SIZE:
        return OnSize(LOWORD(lParam));
    case WM_PAINT:
        return OnPaint(window);
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
        return OnTimer(window, wParam);
    case WM_DROPFILES:
        return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
