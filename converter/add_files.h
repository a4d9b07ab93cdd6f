// "Add &file": the multi-selection open-file dialog, starting in the folder of the last
// added pictures, and one file-list entry per selected file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t SELECTION_BUFFER_SIZE = 32767;

// "Pictures" (every extension), one filter a format, then all files: each a text and its
// patterns, the list ending in an empty string.
inline constexpr char PICTURE_FILTERS[] =
    "Pictures\0*.bmp;*.dib;*.png;*.gif;*.jpg;*.jpeg;*.jpe;*.tga;*.pbm;*.pgm;*.ppm;*.pnm\0"
    "Windows Bitmap (*.bmp, *.dib)\0*.bmp;*.dib\0"
    "PNG (*.png)\0*.png\0"
    "GIF (*.gif)\0*.gif\0"
    "JPEG (*.jpg, *.jpeg, *.jpe)\0*.jpg;*.jpeg;*.jpe\0"
    "Targa (*.tga)\0*.tga\0"
    "Portable Bitmap (*.pbm)\0*.pbm\0"
    "Portable Gray-Map (*.pgm)\0*.pgm\0"
    "Portable Pixmap (*.ppm, *.pnm)\0*.ppm;*.pnm\0"
    "All files (*.*)\0*.*\0";

inline constexpr const char* SELECTION_MEMORY_TEXT = "Insufficient memory (or corrupt heap)";

// Lets the user choose pictures and adds them to the file list.
void AddSelectedFiles(HWND dialog);

// Adds full paths to the file list as "Add &file" adds its selection: a path too long for
// the platform's path buffer is skipped with a message naming it, and the folder of the
// first path, when that one is added, becomes the remembered "directory".
void AddPictureFiles(HWND dialog, const std::vector<std::string>& paths);
