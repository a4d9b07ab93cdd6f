// The WH_CALLWNDPROCRET hook behind DialogScript. One script is active at a time.
#include "dialog_script.h"

#include <utility>

namespace {
DialogScript* ActiveScript = nullptr;
}

DialogScript::DialogScript(std::string caption, std::function<void(HWND)> script)
    : caption(std::move(caption)), script(std::move(script)) {
    ActiveScript = this;
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}

DialogScript::~DialogScript() {
    UnhookWindowsHookEx(hook);
    ActiveScript = nullptr;
}

LRESULT CALLBACK DialogScript::AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    DialogScript* active = ActiveScript;
    if (code == HC_ACTION && active != nullptr && !active->ran && call->message == WM_INITDIALOG) {
        char text[128] = "";
        GetWindowTextA(call->hwnd, text, sizeof text);
        if (active->caption == text) {
            active->ran = true;
            active->script(call->hwnd);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
