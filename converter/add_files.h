// "Add &file": the multi-selection open-file dialog, starting in the folder of the last
// added pictures, and one file-list entry per selected file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t SELECTION_BUFFER_SIZE = 32767;

// The four filters, each a text and its patterns, the list ending in an empty string.
inline constexpr char PICTURE_FILTERS[] = "All supported picture files\0*.bmp;*.dib;*.pbm;*.pgm\0"
                                          "Windows Bitmap (*.bmp, *.dib)\0*.bmp;*.dib\0"
                                          "Portable Bitmap (*.pbm)\0*.pbm\0"
                                          "Portable Gray-Map (*.pgm)\0*.pgm\0";

inline constexpr const char* SELECTION_MEMORY_TEXT = "Insufficient memory (or corrupt heap)";

// Lets the user choose pictures and adds them to the file list.
void AddSelectedFiles(HWND dialog);

// Adds full paths to the file list as "Add &file" adds its selection: a path too long for
// the platform's path buffer is skipped with a message naming it, and the folder of the
// first path, when that one is added, becomes the remembered "directory".
void AddPictureFiles(HWND dialog, const std::vector<std::string>& paths);
