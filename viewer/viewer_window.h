// The viewer's single top-level window: its state and its window procedure, which the
// program exports as "_WndProc@16".
#pragma once

#include "display_bitmap.h"
#include "frame_player.h"

#include <windows.h>

#include <string>

inline constexpr const char* VIEWER_CLASS_NAME = "Zentra:View";
inline constexpr const char* VIEWER_TITLE = "Zentra Image Viewer";

// Where the record list stands and where the bitmap or prompt is drawn, in client pixels.
inline constexpr int LIST_MARGIN = 8;
inline constexpr int LIST_HEIGHT = 50;
inline constexpr int PICTURE_X = 8;
inline constexpr int PICTURE_Y = 66;

inline constexpr const char* PROMPT_OPEN_FILE = "Please open a zentra image file";
inline constexpr const char* PROMPT_SELECT_RECORD = "Please select a bitmap lay-out from the list";

// The state of the one viewer window; set to its start values when the window is created.
struct ViewerWindowState {
    std::string CurrentFileName; // the file opened last, empty before the first choice
    HWND RecordList = nullptr;   // control IDC_RECORD_LIST
    int zoom = 1;
    bool invert = false;
    bool buildup = false;
    DisplayBitmap displayBitmap; // what the paint handler draws
    // Playing: the file opened and listed when play started, holding the frame shown,
    // which each tick draws the next record over.
    bool playing = false;
    FramePlayer player;
};

extern ViewerWindowState ViewerState;

// Opens the file as "&Open..." does once the user has chosen it: stops playing, remembers
// the path and its directory, fills the record list and shows its first record, or shows
// "Failed to open file." and leaves the list empty.
void OpenViewerFile(HWND window, const std::string& path);

// The window procedure of class "Zentra:View". Unmangled so that the export alias can
// name it on both 32-bit (stdcall-decorated) and 64-bit builds.
extern "C" LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
