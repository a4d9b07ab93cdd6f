// Playing opens the file in a frame player, which keeps its record list from when play
// started and the frame on show; each tick draws the next record over that frame, so a
// frame costs its own record whatever its number, and re-arms the timer with the frame's
// time. The window never waits, and zoom and invert apply as to any other frame.
#include "playback.h"

#include "blocking_calls.h"
#include "viewer_window.h"

#include <cstddef>

namespace {

// Puts the player's frame on the window and selects its record in the list.
void ShowPlayedFrame(HWND window) {
    const FramePlayer& player = ViewerState.player;
    SendMessageA(ViewerState.RecordList, LB_SETCURSEL, static_cast<WPARAM>(player.Index()), 0);
    InvalidateRect(window, nullptr, TRUE);
    ViewerState.displayBitmap = player.Frame();
    PlatformCalls.SetTimer(window, PLAY_TIMER_ID, player.Time(), nullptr);
}

void StartPlaying(HWND window) {
    const auto listed = SendMessageA(ViewerState.RecordList, LB_GETCOUNT, 0, 0);
    FramePlayer& player = ViewerState.player;
    if (listed <= 0 || !player.Open(FileSource(ViewerState.CurrentFileName))) {
        return;
    }
    // Only what the list shows is played, should the file have grown since it was opened.
    player.KeepRecords(static_cast<std::size_t>(listed));
    if (player.Records().empty()) {
        player = FramePlayer{};
        return;
    }
    const auto selection =
        static_cast<int>(SendMessageA(ViewerState.RecordList, LB_GETCURSEL, 0, 0));
    const bool selected =
        selection >= 0 && static_cast<std::size_t>(selection) < player.Records().size();
    ViewerState.playing = true;
    player.Show(selected ? selection : 0);
    ShowPlayedFrame(window);
}

} // namespace

void TogglePlaying(HWND window) {
    if (ViewerState.playing) {
        StopPlaying(window);
    } else {
        StartPlaying(window);
    }
}

void OnPlayTimer(HWND window) {
    if (!ViewerState.playing) {
        PlatformCalls.KillTimer(window, PLAY_TIMER_ID);
        return;
    }
    ViewerState.player.ShowNext();
    ShowPlayedFrame(window);
}

void StopPlaying(HWND window) {
    if (!ViewerState.playing) {
        return;
    }
    PlatformCalls.KillTimer(window, PLAY_TIMER_ID);
    ViewerState.playing = false;
    // Closes the file; the frame shown stays in the window's bitmap.
    ViewerState.player = FramePlayer{};
}
