// The Delete-key watcher: a keyboard hook for the dialog's thread that posts (never sends)
// WM_DELETEKEY_DOWN or WM_DELETEKEY_UP to the main dialog whenever the Delete key goes down
// or up, whichever of the thread's windows has the focus. It never swallows a key.
#pragma once

#include <windows.h>

inline constexpr UINT WM_DELETEKEY_DOWN = WM_USER + 0x190; // 0x590
inline constexpr UINT WM_DELETEKEY_UP = WM_USER + 0x191;   // 0x591

// Remembers the dialog as the messages' target and hooks the calling thread's keyboard input.
void InstallDeleteKeyWatcher(HWND dialog);

// Removes the hook and forgets the target.
void RemoveDeleteKeyWatcher();
