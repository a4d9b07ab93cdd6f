// The table of blocking platform calls, filled with the real functions.
#include "blocking_calls.h"

BlockingCalls RealBlockingCalls() {
    return BlockingCalls{::MessageBoxA,      ::GetOpenFileNameA, ::TrackPopupMenu, ::ShellExecuteA,
                         ::GetSaveFileNameA, ::SetTimer,         ::KillTimer};
}

BlockingCalls PlatformCalls = RealBlockingCalls();
