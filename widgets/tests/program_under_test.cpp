// Starting a program, finding its windows by process, class and caption, and its end.
#include "program_under_test.h"

#include <filesystem>

namespace {

struct WindowSearch {
    DWORD process;
    const char* className;
    const char* caption; // null: any
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (process == search->process && IsWindowVisible(window) &&
        std::string(className) == search->className &&
        (search->caption == nullptr || std::string(caption) == search->caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string BuiltProgram(const char* fileName) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    return (std::filesystem::path(self).parent_path().parent_path() / fileName).string();
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 3);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool ProgramUnderTest::Start(const std::string& program, const std::string& workingFolder,
                             const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &process_)) {
        return false;
    }
    WaitForInputIdle(process_.hProcess, 10000);
    return true;
}

HWND ProgramUnderTest::WaitForWindow(const char* className, const char* caption) const {
    WindowSearch search{process_.dwProcessId, className, caption, nullptr};
    WaitFor(
        [&] {
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr ||
                   WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        },
        30000);
    return search.found;
}

bool ProgramUnderTest::WaitForExit(DWORD milliseconds, DWORD& exitCode) const {
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(process_.hProcess, &exitCode) != FALSE;
}
