// View > Play: the selected record's sequence shown frame by frame, built up, each frame for
// its time, on a timer of the window's own thread; the record list's selection follows.
#pragma once

#include "display_bitmap.h"
#include "frame_player.h"

#include <windows.h>

#include <string>

// The window timer that advances the frames.
inline constexpr UINT_PTR PLAY_TIMER_ID = 1;

// What playing works on: the window that owns the timer, its record list, the file it
// shows, the bitmap the window paints, and the play state the window keeps (the player
// holds the file opened when play started and the frame on show).
struct PlaybackWindow {
    HWND window;
    HWND recordList;
    const std::string& fileName;
    DisplayBitmap& shown;
    bool& playing;
    FramePlayer& player;
};

// Starts playing from the selected record (the first when none is selected), or stops.
void TogglePlaying(const PlaybackWindow& on);

// Shows the next frame and sets the timer for its time; nothing when not playing.
void OnPlayTimer(const PlaybackWindow& on);

// Stops the timer; the frame shown stays. Nothing when not playing.
void StopPlaying(const PlaybackWindow& on);
