// Recorders for the blocking platform calls: tests install them in PlatformCalls so that
// no message box, menu or browser ever waits for a user, and read back what was asked.
#pragma once

#include "blocking_calls.h"

#include <string>
#include <vector>

struct RecordedMessageBox {
    bool hasOwner;
    std::string text;
    std::string caption;
    UINT type;
};

struct RecordedShellOpen {
    bool hasOwner;
    std::string verb; // "(null)" when none was given
    std::string file;
    bool hasParameters;
    bool hasDirectory;
    INT show;
};

// Installs the recorders for its lifetime and restores the real calls afterwards.
class BlockingRecorder {
  public:
    BlockingRecorder();
    ~BlockingRecorder();
    BlockingRecorder(const BlockingRecorder&) = delete;
    BlockingRecorder& operator=(const BlockingRecorder&) = delete;

    static std::vector<RecordedMessageBox> MessageBoxes;
    static std::vector<RecordedShellOpen> ShellOpens;
};
