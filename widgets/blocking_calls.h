// The platform calls that wait for the user: message boxes, the file-open dialog, the popup
// menu and the shell's open. The programs go through this table, which holds the real calls;
// tests replace entries with recorders so that nothing waits on a window.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

struct BlockingCalls {
    decltype(&::MessageBoxA) MessageBoxA;
    decltype(&::GetOpenFileNameA) GetOpenFileNameA;
    decltype(&::TrackPopupMenu) TrackPopupMenu;
    decltype(&::ShellExecuteA) ShellExecuteA;
};

// The table in use; by default the platform's own functions.
extern BlockingCalls PlatformCalls;

// The platform's own functions, for restoring the table.
BlockingCalls RealBlockingCalls();
