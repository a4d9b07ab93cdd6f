// Where ztr finds its bundled files: the directory of its own program file.
#pragma once

#include <string>

// The directory of the running program file, with a trailing separator; empty when the
// platform cannot tell.
std::string ExecutableDirectory();

// The profile file used when the command line names none: "displays.prf" beside the
// program, or, for an installed copy, in ../share/zentra/ relative to it.
std::string DefaultProfilePath();
