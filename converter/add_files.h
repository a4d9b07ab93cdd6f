// "Add &file": the multi-selection open-file dialog, starting in the folder of the last
// added pictures, and one file-list entry per selected file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t SELECTION_BUFFER_SIZE = 32767;

// The open dialog's filters, from the engine's picture file kinds: "Pictures" (every
// extension), one filter a kind, then all files; each a text and its patterns, ending in
// NUL, the list in an empty string (the string's own terminator).
std::string PictureFilters();

inline constexpr const char* SELECTION_MEMORY_TEXT = "Insufficient memory (or corrupt heap)";

// Lets the user choose pictures and adds them to the file list.
void AddSelectedFiles(HWND dialog);

// Adds full paths to the file list as "Add &file" adds its selection: a path too long for
// the platform's path buffer is skipped with a message naming it, and the folder of the
// first path, when that one is added, becomes the remembered "directory".
void AddPictureFiles(HWND dialog, const std::vector<std::string>& paths);
