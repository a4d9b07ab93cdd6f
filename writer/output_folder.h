// OutputFolder: the folder that a run writes its files into (ztr convert --output-dir),
// made with its parents when it is missing, as a user who names a folder expects, and
// removed again when the run leaves nothing in it.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

class OutputFolder {
  public:
    // Makes the folder and its missing parents. False, with the system's error, when that
    // fails or the path names something that is not a folder.
    bool Make(const std::string& path, std::error_code& error);

    // Removes the folders that Make made, the innermost first, as far as they are empty.
    void RemoveIfEmpty();

  private:
    std::vector<std::filesystem::path> made_; // outermost first
};
