// Start-up of the viewer, in the order the window needs it: the paths first (the window
// reads its settings while it is created), then the class, then the window.
#include "init_viewer.h"

#include "blocking_calls.h"
#include "command_line.h"
#include "program_values.h"
#include "viewer_window.h"

bool RegisterViewerClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "AppIcon32");
    windowClass.hIconSm = LoadIconA(instance, "AppIcon");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = VIEWER_CLASS_NAME;
    return RegisterClassExA(&windowClass) != 0;
}

HWND CreateViewerWindow(HINSTANCE instance) {
    return CreateWindowExA(0, VIEWER_CLASS_NAME, VIEWER_TITLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, 600, 400, nullptr,
                           LoadMenuA(instance, "AppMenu"), instance, nullptr);
}

HWND InitViewer(HINSTANCE instance) {
    ViewerInstance = instance;
    char programFile[PATH_BUFFER_SIZE] = "";
    GetModuleFileNameA(nullptr, programFile, sizeof programFile);
    SetModulePaths(programFile);
    if (!RegisterViewerClass(instance)) {
        return nullptr;
    }
    return CreateViewerWindow(instance);
}

void OpenCommandLineFile(HWND window, const char* commandLine) {
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (!arguments.empty()) {
        OpenViewerFile(window, arguments.front());
    }
}

int RunMessageLoop(HWND window) {
    HACCEL accelerators = LoadAcceleratorsA(ViewerInstance, "AppAccel");
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (accelerators != nullptr && TranslateAcceleratorA(window, accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunViewer(HINSTANCE instance, const char* commandLine) {
    HWND window = InitViewer(instance);
    if (window == nullptr) {
        PlatformCalls.MessageBoxA(nullptr, START_UP_FAILED, "Zenview", MB_ICONERROR | MB_OK);
        return 1;
    }
    OpenCommandLineFile(window, commandLine);
    RunMessageLoop(window);
    return 0;
}
