// The file list (control 101): entries show a picture's file name and own a heap copy of
// its full path, kept as the entry's item data and released when the entry goes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Adds an entry for the full path at its sorted place. Returns false (and keeps no copy)
// when the list refuses the text.
bool AddFileEntry(HWND list, const std::string& fullPath);

// Deletes the entry at the index and releases its path copy.
void DeleteFileEntry(HWND list, int index);

// Deletes every entry, releasing every path copy.
void ClearFileList(HWND list);

// How many path copies the file list's entries hold at the moment, over all lists.
int FileEntryPathsHeld();

// The full paths of all entries, in list order.
std::vector<std::string> FileListPaths(HWND list);
