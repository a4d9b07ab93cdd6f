// The viewer's start-up: program-wide values, the window class "Zentra:View", the main
// window, and the message loop that runs until the window posts the quit message.
#pragma once

#include <windows.h>

// Registers the window class; false when the platform refuses (for example because a
// class of that name exists already).
bool RegisterViewerClass(HINSTANCE instance);

// Creates the main window, visible, 600 x 400 with the menu "AppMenu".
HWND CreateViewerWindow(HINSTANCE instance);

// Keeps the instance, finds ModuleDirectory and SettingsFilePath from the program file,
// registers the class and creates the window. Returns the window, or none when the class
// could not be registered or the window not created.
HWND InitViewer(HINSTANCE instance);

// Opens the first argument of the command line (the text after the program's name), as
// "Open with" and the .ztr association pass it; nothing when there is none.
void OpenCommandLineFile(HWND window, const char* commandLine);

// Fetches, translates and dispatches messages until the quit message, the window's
// accelerators ("AppAccel") turned into its commands first; returns the quit code.
int RunMessageLoop(HWND window);

// The whole program: start-up, the file named on the command line, then the message loop,
// returning 0. When start-up made no window the loop could never end, so the failure is
// shown in a message box and 1 returned.
int RunViewer(HINSTANCE instance, const char* commandLine = nullptr);

inline constexpr const char* START_UP_FAILED = "Zenview could not create its window.";
