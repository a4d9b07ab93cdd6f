// Drives a modal dialog from inside its own message loop: when a dialog with the given
// caption has handled WM_INITDIALOG, the script runs once with its window (typically
// posting the keys or clicks that the test is about). Removes its hook on destruction.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class DialogScript {
  public:
    DialogScript(std::string caption, std::function<void(HWND)> script);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    bool Ran() const { return ran; }

  private:
    static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam);

    std::string caption;
    std::function<void(HWND)> script;
    bool ran = false;
    HHOOK hook = nullptr;
};
