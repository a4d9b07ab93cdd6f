// Pictures handed over by the shell: dropped onto the main dialog from Explorer, or named on
// the command line ("Send to", shortcuts). Both are added as "Add &file" adds its selection.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

inline constexpr const char* FOLDERS_NOT_ADDED_TEXT =
    "Folders cannot be added, only the pictures in them. These folders were not added:";
inline constexpr const char* FILES_NOT_FOUND_TEXT =
    "These files were not found, so they were not added:";

// Adds the files among the paths; folders and paths that name nothing are left out, each
// kind named in one message.
void AddShellPictures(HWND dialog, const std::vector<std::string>& paths);

// Lets the dialog accept dropped files and adds the pictures given at start (none: null).
void AcceptShellPictures(HWND dialog, const std::vector<std::string>* startPictures);

// WM_DROPFILES: finishes the drop and adds its pictures, unless a conversion is running.
INT_PTR OnDropFiles(HWND dialog, HDROP drop, bool busy);
