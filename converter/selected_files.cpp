// The open-file dialog's selection buffer, walked without reading past its end.
#include "selected_files.h"

#include <windows.h>

#include <cstring>

bool FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

const char* GetFileNamePart(const char* path) {
    if (const char* separator = std::strrchr(path, '\\'); separator != nullptr) {
        return separator + 1;
    }
    if (const char* colon = std::strchr(path, ':'); colon != nullptr) {
        return colon + 1;
    }
    return path;
}

namespace {

// The length of the string at offset, or nothing when it is not terminated inside the buffer.
std::optional<std::size_t> StringLength(const char* selection, std::size_t selectionSize,
                                        std::size_t offset) {
    if (offset >= selectionSize) {
        return std::nullopt;
    }
    const void* end = std::memchr(selection + offset, '\0', selectionSize - offset);
    if (end == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(static_cast<const char*>(end) - (selection + offset));
}

} // namespace

std::optional<std::string> GetSelectedFile(const char* selection, std::size_t selectionSize,
                                           int index) {
    const std::optional<std::size_t> firstLength = StringLength(selection, selectionSize, 0);
    if (!firstLength || *firstLength == 0 || index < 0) {
        return std::nullopt;
    }
    const std::string first(selection, *firstLength);
    std::size_t offset = *firstLength + 1;
    const std::optional<std::size_t> secondLength = StringLength(selection, selectionSize, offset);

    // One selected file: its full path alone. A path too long for the platform's file
    // functions cannot be tested for existence, so a first string with no names after it
    // counts as a single file as well.
    if (FileExists(first.c_str()) || !secondLength || *secondLength == 0) {
        if (index == 0) {
            return first;
        }
        return std::nullopt;
    }

    // A folder followed by names.
    for (int name = 0;; ++name) {
        const std::optional<std::size_t> length = StringLength(selection, selectionSize, offset);
        if (!length || *length == 0) {
            return std::nullopt;
        }
        if (name == index) {
            return first + "\\" + std::string(selection + offset, *length);
        }
        offset += *length + 1;
    }
}
