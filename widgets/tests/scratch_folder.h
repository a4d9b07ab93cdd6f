// A fresh folder under the temporary directory for one test, removed with everything in it.
#pragma once

#include <string>

class ScratchFolder {
  public:
    // The folder's name starts with the label (which may hold blanks) and ends in a part
    // that no other folder of this or another test program has.
    explicit ScratchFolder(const std::string& label = "zentra_test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path with backslashes, as the programs see paths; no trailing backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};
