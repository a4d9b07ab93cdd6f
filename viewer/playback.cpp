// Playing opens the file in a frame player, which keeps its record list from when play
// started and the frame on show; each tick draws the next record over that frame, so a
// frame costs its own record whatever its number, and re-arms the timer with the frame's
// time. The window never waits, and zoom and invert apply as to any other frame.
#include "playback.h"

#include "blocking_calls.h"

#include <cstddef>

namespace {

// Puts the player's frame on the window and selects its record in the list.
void ShowPlayedFrame(const PlaybackWindow& on) {
    const FramePlayer& player = on.player;
    SendMessageA(on.recordList, LB_SETCURSEL, static_cast<WPARAM>(player.Index()), 0);
    InvalidateRect(on.window, nullptr, TRUE);
    on.shown = player.Frame();
    PlatformCalls.SetTimer(on.window, PLAY_TIMER_ID, player.Time(), nullptr);
}

void StartPlaying(const PlaybackWindow& on) {
    const auto listed = SendMessageA(on.recordList, LB_GETCOUNT, 0, 0);
    FramePlayer& player = on.player;
    if (listed <= 0 || !player.Open(FileSource(on.fileName))) {
        return;
    }
    // Only what the list shows is played, should the file have grown since it was opened.
    player.KeepRecords(static_cast<std::size_t>(listed));
    if (player.Records().empty()) {
        player = FramePlayer{};
        return;
    }
    const auto selection = static_cast<int>(SendMessageA(on.recordList, LB_GETCURSEL, 0, 0));
    const bool selected =
        selection >= 0 && static_cast<std::size_t>(selection) < player.Records().size();
    on.playing = true;
    player.Show(selected ? selection : 0);
    ShowPlayedFrame(on);
}

} // namespace

void TogglePlaying(const PlaybackWindow& on) {
    if (on.playing) {
        StopPlaying(on);
    } else {
        StartPlaying(on);
    }
}

void OnPlayTimer(const PlaybackWindow& on) {
    if (!on.playing) {
        PlatformCalls.KillTimer(on.window, PLAY_TIMER_ID);
        return;
    }
    on.player.ShowNext();
    ShowPlayedFrame(on);
}

void StopPlaying(const PlaybackWindow& on) {
    if (!on.playing) {
        return;
    }
    PlatformCalls.KillTimer(on.window, PLAY_TIMER_ID);
    on.playing = false;
    // Closes the file; the frame shown stays in the window's bitmap.
    on.player = FramePlayer{};
}
