// File-list entries and the path copies they own. The copy is a std::string allocated for
// the entry; its address is the entry's item data (LONG_PTR, so it also holds a 64-bit
// pointer).
#include "file_list.h"

#include "selected_files.h"

#include <memory>

namespace {

int PathsHeld = 0;

std::string* PathCopyOf(HWND list, int index) {
    const LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR) {
        return nullptr;
    }
    return reinterpret_cast<std::string*>(data);
}

} // namespace

bool AddFileEntry(HWND list, const std::string& fullPath) {
    auto copy = std::make_unique<std::string>(fullPath);
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(GetFileNamePart(copy->c_str())));
    if (index < 0) {
        return false;
    }
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(copy.release()));
    ++PathsHeld;
    return true;
}

void DeleteFileEntry(HWND list, int index) {
    std::unique_ptr<std::string> copy(PathCopyOf(list, index));
    if (copy) {
        --PathsHeld;
    }
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int FileEntryPathsHeld() {
    return PathsHeld;
}

void ClearFileList(HWND list) {
    for (LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0); count > 0; --count) {
        DeleteFileEntry(list, static_cast<int>(count - 1));
    }
}

std::vector<std::string> FileListPaths(HWND list) {
    std::vector<std::string> paths;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int index = 0; index < count; ++index) {
        if (const std::string* path = PathCopyOf(list, index); path != nullptr) {
            paths.push_back(*path);
        }
    }
    return paths;
}
