// Scratch folders named after the process, the time and a counter.
#include "scratch_folder.h"

#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& label) {
    static int counter = 0;
    const fs::path folder = fs::temp_directory_path() /
                            (label + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(GetTickCount()) + "_" + std::to_string(++counter));
    fs::create_directories(folder);
    path_ = folder.string();
    while (!path_.empty() && path_.back() == '\\') {
        path_.pop_back();
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}
