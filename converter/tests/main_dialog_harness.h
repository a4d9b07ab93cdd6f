// What the main dialog's tests share: a fresh program folder (settings file and profile
// file as the test wants them), the real dialog from the real template, the lists read
// back, and scripted stand-ins for the open-file dialog, the popup menu and the writer.
#pragma once

#include "blocking_recorder.h"
#include "convert_images.h"

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A program folder with blanks in its name; ProgramDirectory and SettingsFilePath point
// into it while it lives. Records every blocking call through a BlockingRecorder.
class MainDialogHarness {
  public:
    // Without profile text no "displays.prf" is written; without settings no "zenconv.ini".
    MainDialogHarness(std::optional<std::string> profiles, std::optional<std::string> settings);
    ~MainDialogHarness();
    MainDialogHarness(const MainDialogHarness&) = delete;
    MainDialogHarness& operator=(const MainDialogHarness&) = delete;

    // Creates the dialog (modeless, so that the test keeps control), shown and initialised;
    // with pictures, as start-up passes those named on the command line.
    HWND Open(const std::vector<std::string>* startPictures = nullptr);
    std::filesystem::path Folder() const { return folder; }
    std::string SettingsText() const;
    // The folder as the program sees it, with backslashes.
    std::string WindowsFolder() const { return folder.string(); }

  private:
    BlockingRecorder recorder;
    std::filesystem::path folder;
    HWND dialog = nullptr;
};

std::vector<std::string> ListTexts(HWND dialog, int id);
std::vector<LONG_PTR> ListData(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
// Dispatches everything waiting in the thread's queue, through the dialog's own keyboard
// handling, as a modal loop would.
void PumpMessages(HWND dialog);
void SendCommand(HWND dialog, int command, int notification = BN_CLICKED);

// The open-file dialog: hands out the scripted selection (or cancels) and records what it
// was asked. Installed in PlatformCalls while it lives.
struct RecordedOpenFile {
    bool ownerIsDialog;
    std::string filter; // the whole filter block, NULs included, up to its final empty string
    DWORD filterIndex;
    DWORD maxFile;
    std::string initialDirectory;
    DWORD flags;
    bool hasTitle;
};
class ScriptedOpenFile {
  public:
    ScriptedOpenFile(HWND dialog, std::string selection, bool accept = true);
    ~ScriptedOpenFile();
    static std::vector<RecordedOpenFile> Calls;
};

// The conversion loop: records its arguments and the number of message boxes shown before
// it ran, and returns the scripted results in turn (Written once they run out).
struct RecordedConversion {
    std::vector<std::string> paths;
    std::vector<std::uint32_t> codes;
    bool animation;
    int delay;
    std::size_t boxesBefore;
};
class ConversionRecorder {
  public:
    explicit ConversionRecorder(std::vector<Outcome> results = {});
    ~ConversionRecorder();
    static std::vector<RecordedConversion> Calls;
    static std::vector<Outcome> Results;
    // Run inside each call, like a message box's modal loop delivering the user's clicks.
    static void (*DuringCall)();
};

// The popup menu: records its items and placement and, when a choice is scripted, posts
// that command to the owner as the real menu does.
struct RecordedPopup {
    std::vector<std::pair<UINT, std::string>> items;
    UINT flags;
    int x;
    int y;
    HWND owner;
};
class ScriptedPopup {
  public:
    explicit ScriptedPopup(UINT choice = 0);
    ~ScriptedPopup();
    static std::vector<RecordedPopup> Calls;
    static UINT Choice;
};
