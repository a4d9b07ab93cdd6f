// A real program of this project started as its own process under Wine, as a user would
// start it, and the windows it shows found from outside.
#pragma once

#include <windows.h>

#include <string>

// Polls every 20 ms until the condition holds; false once the time is up.
template <typename Condition> bool WaitFor(Condition condition, int milliseconds = 10000) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (condition()) {
            return true;
        }
        Sleep(20);
    }
    return condition();
}

// The built program of the given file name in the build folder above the test program's
// own folder (converter/tests/x.exe finds converter/zenconv.exe).
std::string BuiltProgram(const char* fileName);

class ProgramUnderTest {
  public:
    ProgramUnderTest() = default;
    // Ends the program if it still runs.
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts the program in the working folder, its command line the quoted path and,
    // when given, the arguments after it.
    bool Start(const std::string& program, const std::string& workingFolder,
               const std::string& arguments = "");

    // A visible top-level window of the program with the class name and, when given, the
    // caption; none when it does not appear within 30 s or the program ends first.
    HWND WaitForWindow(const char* className, const char* caption = nullptr) const;

    // Waits up to the given time for the program to end; true and its exit code when it did.
    bool WaitForExit(DWORD milliseconds, DWORD& exitCode) const;

    DWORD Id() const { return process_.dwProcessId; }

  private:
    PROCESS_INFORMATION process_{};
};
