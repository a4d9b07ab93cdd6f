// Reading a drop: the shell's DROPFILES block holds the paths, queried one by one.
#include "dropped_files.h"

#include <utility>

std::vector<std::string> TakeDroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        DragQueryFileA(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    return paths;
}
