// OutputFile: writes a file under a temporary name in the target's own folder and gives
// it the target's name only on Commit, so that a failed write never leaves a partial
// file and never touches an existing file of the target's name.
#pragma once

#include "path_limit.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <system_error>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// What happens to a temporary file, in this order: Creating, then Created or NotCreated
// (a name already taken; the next one is tried); later Ending, then Gone (renamed to the
// target, or removed). A program that can be ended from outside (ztr on Ctrl-C) keeps the
// paths of the files that exist to remove them then, and holds its interrupts back from
// Creating to Created and from Ending to Gone, so that no interrupt falls between a
// file's coming or going and its note.
enum class TemporaryFileEvent { Creating, Created, NotCreated, Ending, Gone };
using TemporaryFileNotice = std::function<void(const std::string& path, TemporaryFileEvent event)>;

class OutputFile {
  public:
    explicit OutputFile(std::string targetPath, TemporaryFileNotice notice = {});
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates a new temporary file beside the target, never reusing an existing name.
    // Fails when the target path is longer than MAX_PATH_CHARS or the file cannot be
    // created.
    bool Open();

    // The open temporary file, or null before Open and after Commit or Discard.
    std::FILE* File() const { return file_.get(); }

    // Flushes and closes the temporary file and renames it over the target. On any
    // failure the temporary file is removed and the target left as it was.
    bool Commit();

    // Closes and removes the temporary file, if there is one.
    void Discard();

    const std::string& TargetPath() const { return targetPath_; }
    const std::string& TemporaryPath() const { return temporaryPath_; }

    // Keeps the system's error of a write to File() that just failed, for FailureReason.
    void NoteWriteError();

    // Why the last Open, write or Commit failed, in the system's words: the line that
    // follows the failure's own message ("  Permission denied\n"), naming the step where
    // it is not the obvious one (the rename of the temporary file). Empty when the system
    // gave no reason.
    std::string FailureReason() const;
    // The same as data: the system's error (none when it gave no reason) and the step.
    const std::error_code& FailureError() const { return error_; }
    const std::string& FailedStep() const { return failedStep_; }

  private:
    void Notify(const std::string& path, TemporaryFileEvent event) const;
    void Failed(std::error_code error, std::string step = {});

    std::string targetPath_;
    std::string temporaryPath_; // empty when no temporary file exists
    FilePointer file_;
    TemporaryFileNotice notice_;
    std::error_code error_;  // the last failure's system error
    std::string failedStep_; // what was being done, where the message does not say it
};
