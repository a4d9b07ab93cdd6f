// The fields that every file dialog of both programs fills alike: the owner, a filter list
// whose first entry is chosen, and the buffer that receives the chosen path or paths.
#pragma once

#include <windows.h>

#include <commdlg.h>

inline OPENFILENAMEA FileDialogData(HWND owner, const char* filters, char* file, DWORD fileSize) {
    OPENFILENAMEA data{};
    data.lStructSize = sizeof data;
    data.hwndOwner = owner;
    data.lpstrFilter = filters;
    data.nFilterIndex = 1;
    data.lpstrFile = file;
    data.nMaxFile = fileSize;
    return data;
}
