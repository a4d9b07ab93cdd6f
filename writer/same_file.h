// SameFile: whether two paths name one file, so that no command writes over one of its
// own inputs and no two outputs of one run land in the same file.
#pragma once

#include <string>

// True when writing to one path would write the file the other names: both exist and
// are the same file (under any name, through links), or neither exists and both name
// the same entry of the same folder. Names differing only in letter case count as the
// same on Windows.
bool SameFile(const std::string& first, const std::string& second);

// True when the two paths are the same once "." and ".." are resolved, without asking
// the file system: what the command line alone shows.
bool SamePathText(const std::string& first, const std::string& second);
