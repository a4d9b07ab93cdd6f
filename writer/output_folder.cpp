// Making an output folder and taking back what a failed run made of it.
#include "output_folder.h"

bool OutputFolder::Make(const std::string& path, std::error_code& error) {
    error.clear();
    made_.clear();
    std::filesystem::path folder = std::filesystem::path(path).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path()) {
        folder = folder.parent_path(); // "out/" is the folder "out"
    }
    // The missing folders, from the innermost out, to be taken back after a failed run.
    std::vector<std::filesystem::path> missing;
    for (std::filesystem::path at = folder; !at.empty(); at = at.parent_path()) {
        std::error_code ignored;
        if (std::filesystem::exists(at, ignored) || at == at.parent_path()) {
            break;
        }
        missing.push_back(at);
    }
    std::filesystem::create_directories(folder, error);
    if (!error && !std::filesystem::is_directory(folder, error) && !error) {
        error = std::make_error_code(std::errc::not_a_directory);
    }
    made_.assign(missing.rbegin(), missing.rend());
    if (error) {
        RemoveIfEmpty();
        return false;
    }
    return true;
}

void OutputFolder::RemoveIfEmpty() {
    while (!made_.empty()) {
        std::error_code error;
        // remove() takes only an empty folder; one with files in it stays, and so do its
        // parents.
        if (!std::filesystem::remove(made_.back(), error) &&
            std::filesystem::exists(made_.back())) {
            break;
        }
        made_.pop_back();
    }
    made_.clear();
}
