// Building the shell's drop block for tests of both programs' WM_DROPFILES handling.
#include "shell_drop.h"

#include <cstring>

HDROP MakeShellDrop(const std::vector<std::string>& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    auto* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    header->pt = POINT{40, 120};
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* next = bytes + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(next, path.c_str(), path.size() + 1);
        next += path.size() + 1;
    }
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}
