// Reading the result of the multi-selection open-file dialog: either one full path, or a
// folder followed by file names, each NUL-terminated, the last followed by a second NUL.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// True when the path exists and is not a directory.
bool FileExists(const char* path);

// The text after the last "\" of the path; without one, the text after the first ":";
// with neither, the whole path.
const char* GetFileNamePart(const char* path);

// The full path of the selected file at the 0-based index, or nothing once the names run
// out. The path is returned whole, however long, so that the caller can refuse a path that
// does not fit the platform's limit instead of cutting it into a different one. The walk
// never reads beyond selectionSize bytes.
std::optional<std::string> GetSelectedFile(const char* selection, std::size_t selectionSize,
                                           int index);
