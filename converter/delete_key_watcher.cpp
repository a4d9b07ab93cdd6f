// The WH_KEYBOARD hook behind the Delete-key watcher. Bit 31 of the key event's flags
// (lParam) is the transition state: set when the key is released.
#include "delete_key_watcher.h"

namespace {

HWND DeleteKeyTarget = nullptr;
HHOOK DeleteKeyHook = nullptr;

LRESULT CALLBACK WatchDeleteKey(int code, WPARAM key, LPARAM flags) {
    if (code == HC_ACTION && key == VK_DELETE && DeleteKeyTarget != nullptr) {
        const bool released = (static_cast<DWORD>(flags) & 0x80000000u) != 0;
        PostMessageA(DeleteKeyTarget, released ? WM_DELETEKEY_UP : WM_DELETEKEY_DOWN, VK_DELETE, 0);
    }
    return CallNextHookEx(DeleteKeyHook, code, key, flags);
}

} // namespace

void InstallDeleteKeyWatcher(HWND dialog) {
    RemoveDeleteKeyWatcher();
    DeleteKeyTarget = dialog;
    DeleteKeyHook = SetWindowsHookExA(WH_KEYBOARD, WatchDeleteKey, nullptr, GetCurrentThreadId());
}

void RemoveDeleteKeyWatcher() {
    if (DeleteKeyHook != nullptr) {
        UnhookWindowsHookEx(DeleteKeyHook);
        DeleteKeyHook = nullptr;
    }
    DeleteKeyTarget = nullptr;
}
