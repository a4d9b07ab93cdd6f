// The recorders behind BlockingRecorder.
#include "blocking_recorder.h"

std::vector<RecordedMessageBox> BlockingRecorder::MessageBoxes;
std::vector<RecordedShellOpen> BlockingRecorder::ShellOpens;

namespace {

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    BlockingRecorder::MessageBoxes.push_back({owner != nullptr, text != nullptr ? text : "(null)",
                                              caption != nullptr ? caption : "(null)", type});
    return IDOK;
}

HINSTANCE WINAPI RecordShellOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                 LPCSTR directory, INT show) {
    BlockingRecorder::ShellOpens.push_back({owner != nullptr, verb != nullptr ? verb : "(null)",
                                            file != nullptr ? file : "(null)",
                                            parameters != nullptr, directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33)); // success: above 32
}

BOOL WINAPI RefuseOpenFileName(LPOPENFILENAMEA) {
    return FALSE;
}

BOOL WINAPI RefuseTrackPopupMenu(HMENU, UINT, int, int, int, HWND, const RECT*) {
    return FALSE;
}

} // namespace

BlockingRecorder::BlockingRecorder() {
    MessageBoxes.clear();
    ShellOpens.clear();
    PlatformCalls = RealBlockingCalls();
    PlatformCalls.MessageBoxA = RecordMessageBox;
    PlatformCalls.GetOpenFileNameA = RefuseOpenFileName;
    PlatformCalls.TrackPopupMenu = RefuseTrackPopupMenu;
    PlatformCalls.ShellExecuteA = RecordShellOpen;
}

BlockingRecorder::~BlockingRecorder() {
    PlatformCalls = RealBlockingCalls();
}
