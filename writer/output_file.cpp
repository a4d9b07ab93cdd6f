// The temporary-file writer behind every Zentra output: create beside the target, write,
// then rename over the target. Whatever way the writer leaves, the object's destructor
// removes a temporary file that was not committed.
#include "output_file.h"

#include "system_reason.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace {

// The length of the folder part of a path, separator included. Both separators count
// everywhere: on POSIX a backslash is part of a file name, and keeping it in the
// prefix leaves the temporary file in the same folder all the same.
std::size_t FolderLength(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\:");
#else
    const std::size_t separator = path.find_last_of("/\\");
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

// Candidate name n for a file name of at most `budget` characters: "~zt<n>.tmp", or
// just "~<n>" in base 36 when the full form would not fit.
std::string CandidateName(unsigned n, std::size_t budget) {
    std::string name = "~zt" + std::to_string(n) + ".tmp";
    if (name.size() <= budget) {
        return name;
    }
    name = "~";
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string number;
    do {
        number.insert(number.begin(), digits[n % 36]);
        n /= 36;
    } while (n != 0);
    return name + number;
}

// Creates the file only when no file of that name exists yet.
FilePointer CreateNewFile(const std::string& path) {
#ifdef _WIN32
    const int descriptor =
        _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return nullptr;
    }
    FilePointer file(_fdopen(descriptor, "wb"));
    if (!file) {
        _close(descriptor);
    }
#else
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    FilePointer file(fdopen(descriptor, "wb"));
    if (!file) {
        close(descriptor);
    }
#endif
    return file;
}

} // namespace

OutputFile::OutputFile(std::string targetPath, TemporaryFileNotice notice)
    : targetPath_(std::move(targetPath)), notice_(std::move(notice)) {}

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Open() {
    Discard();
    error_.clear();
    failedStep_.clear();
    if (targetPath_.empty()) {
        Failed(std::make_error_code(std::errc::invalid_argument));
        return false;
    }
    if (targetPath_.size() > MAX_PATH_CHARS) {
        Failed(std::make_error_code(std::errc::filename_too_long));
        return false;
    }
    const std::size_t folderLength = FolderLength(targetPath_);
    const std::string folder = targetPath_.substr(0, folderLength);
    const std::string targetName = targetPath_.substr(folderLength);
    // A temporary name no longer than the target's own name (or than what is left of
    // the path limit) keeps the temporary path within the limit.
    const std::size_t budget = std::max(targetName.size(), MAX_PATH_CHARS - folderLength);
    // Numbers are tried from 0 on each time: an existing file only moves on to the next.
    for (unsigned attempt = 0; attempt < 10000; ++attempt) {
        const std::string name = CandidateName(attempt, budget);
        if (name.size() > budget || name == targetName) {
            continue;
        }
        const std::string candidate = folder + name;
        Notify(candidate, TemporaryFileEvent::Creating);
        ResetSystemError();
        FilePointer file = CreateNewFile(candidate);
        const int error = errno;
        const std::error_code systemError = LastSystemError();
        if (file) {
            file_ = std::move(file);
            temporaryPath_ = candidate;
            Notify(candidate, TemporaryFileEvent::Created);
            return true;
        }
        Notify(candidate, TemporaryFileEvent::NotCreated);
        if (error != EEXIST) {
            Failed(systemError);
            return false;
        }
    }
    Failed(std::make_error_code(std::errc::file_exists), "no free temporary name");
    return false;
}

bool OutputFile::Commit() {
    if (!file_) {
        return false;
    }
    ResetSystemError();
    bool written = std::fflush(file_.get()) == 0 && std::ferror(file_.get()) == 0;
    written = std::fclose(file_.release()) == 0 && written;
    if (!written) {
        Failed(LastSystemError());
    } else {
        std::error_code error;
        Notify(temporaryPath_, TemporaryFileEvent::Ending);
        std::filesystem::rename(temporaryPath_, targetPath_, error);
        written = !error;
        if (written) {
            Notify(temporaryPath_, TemporaryFileEvent::Gone);
        } else {
            Failed(error, "renaming '" + temporaryPath_ + "' to it");
        }
    }
    if (!written) {
        Discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void OutputFile::Discard() {
    file_.reset();
    if (!temporaryPath_.empty()) {
        Notify(temporaryPath_, TemporaryFileEvent::Ending);
        std::remove(temporaryPath_.c_str());
        Notify(temporaryPath_, TemporaryFileEvent::Gone);
        temporaryPath_.clear();
    }
}

void OutputFile::NoteWriteError() {
    Failed(LastSystemError());
}

std::string OutputFile::FailureReason() const {
    return ReasonLine(error_, failedStep_);
}

void OutputFile::Failed(std::error_code error, std::string step) {
    // A failure that the system did not explain keeps the reason found before it.
    if (error) {
        error_ = error;
        failedStep_ = std::move(step);
    }
}

void OutputFile::Notify(const std::string& path, TemporaryFileEvent event) const {
    if (notice_) {
        notice_(path, event);
    }
}
