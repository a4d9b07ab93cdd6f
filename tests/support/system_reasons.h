// The reason lines that the engine gives, on the line after a failure's message, for the
// failures that the tests provoke: strerror's words on POSIX systems, the system's own
// messages (FormatMessage) on Windows, where the C library keeps the system's error.
#pragma once

#include "system_reason.h"

#include <string>
#include <system_error>

// A file that does not exist.
inline std::string MissingFileReason() {
#ifdef _WIN32
    return ReasonLine({2, std::system_category()}); // ERROR_FILE_NOT_FOUND
#else
    return "  No such file or directory\n";
#endif
}

// A path longer than the engine takes, refused before the system is asked.
inline std::string TooLongPathReason() {
    return ReasonLine(std::make_error_code(std::errc::filename_too_long));
}

// A finished file renamed onto a folder of the target's name (the C++ library's own error,
// in its words on every system).
inline std::string RenameOntoFolderReason(const std::string& temporaryPath) {
    return "  Is a directory (renaming '" + temporaryPath + "' to it)\n";
}
