// View > Play: the selected record's sequence shown frame by frame, built up, each frame for
// its time, on a timer of the window's own thread; the record list's selection follows.
#pragma once

#include <windows.h>

// The window timer that advances the frames.
inline constexpr UINT_PTR PLAY_TIMER_ID = 1;

// Starts playing from the selected record (the first when none is selected), or stops.
void TogglePlaying(HWND window);

// Shows the next frame and sets the timer for its time; nothing when not playing.
void OnPlayTimer(HWND window);

// Stops the timer; the frame shown stays. Nothing when not playing.
void StopPlaying(HWND window);
