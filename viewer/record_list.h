// Filling the window's record list from a Zentra file: one line per record, up to the
// first damaged header.
#pragma once

#include <windows.h>

#include <string>

// Empties the list, then adds the line of every record of the file up to the first
// rejected header. False when the file cannot be opened (the list then stays empty).
bool FillRecordList(HWND list, const std::string& fileName);
