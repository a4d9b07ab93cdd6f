// Playing keeps a copy of the file's record headers from when it started; each tick decodes
// one built-up frame through DecodeRecord and re-arms the timer with that frame's time, so
// the window never waits and zoom and invert apply as to any other frame.
#include "playback.h"

#include "blocking_calls.h"
#include "decode_record.h"
#include "play_sequence.h"
#include "viewer_window.h"

#include <cstddef>
#include <utility>

namespace {

void ShowPlayedFrame(HWND window, int index) {
    ViewerState.playIndex = index;
    SendMessageA(ViewerState.RecordList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    InvalidateRect(window, nullptr, TRUE);
    DecodeRecord(ViewerState.CurrentFileName, index, true, ViewerState.displayBitmap);
    PlatformCalls.SetTimer(window, PLAY_TIMER_ID, FrameTime(ViewerState.playRecords, index),
                           nullptr);
}

void StartPlaying(HWND window) {
    auto records = ListRecords(ViewerState.CurrentFileName);
    const auto listed = SendMessageA(ViewerState.RecordList, LB_GETCOUNT, 0, 0);
    if (!records || listed <= 0) {
        return;
    }
    // Only what the list shows is played, should the file have grown since it was opened.
    if (records->size() > static_cast<std::size_t>(listed)) {
        records->resize(static_cast<std::size_t>(listed));
    }
    if (records->empty()) {
        return;
    }
    const auto selection =
        static_cast<int>(SendMessageA(ViewerState.RecordList, LB_GETCURSEL, 0, 0));
    ViewerState.playRecords = std::move(*records);
    ViewerState.playing = true;
    const bool selected =
        selection >= 0 && static_cast<std::size_t>(selection) < ViewerState.playRecords.size();
    ShowPlayedFrame(window, selected ? selection : 0);
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
    ShowPlayedFrame(window, NextPlayedRecord(ViewerState.playRecords, ViewerState.playIndex));
}

void StopPlaying(HWND window) {
    if (!ViewerState.playing) {
        return;
    }
    PlatformCalls.KillTimer(window, PLAY_TIMER_ID);
    ViewerState.playing = false;
    ViewerState.playRecords.clear();
    ViewerState.playIndex = -1;
}
