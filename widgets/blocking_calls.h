// The platform calls that wait for the user or for time: message boxes, the file dialogs, the
// popup menu, the shell's open and the window timer. The programs go through this table,
// which holds the real calls; tests replace entries with recorders so that nothing waits on a
// window and timers fire when the test sends WM_TIMER.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

struct BlockingCalls {
    decltype(&::MessageBoxA) MessageBoxA;
    decltype(&::GetOpenFileNameA) GetOpenFileNameA;
    decltype(&::TrackPopupMenu) TrackPopupMenu;
    decltype(&::ShellExecuteA) ShellExecuteA;
    decltype(&::GetSaveFileNameA) GetSaveFileNameA;
    decltype(&::SetTimer) SetTimer;
    decltype(&::KillTimer) KillTimer;
};

// The table in use; by default the platform's own functions.
extern BlockingCalls PlatformCalls;

// The platform's own functions, for restoring the table.
BlockingCalls RealBlockingCalls();
