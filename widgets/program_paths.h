// Where a program finds its own files: the directory of its program file and the settings
// file in it. Both programs derive them the same way from the program file's path.
#pragma once

#include <cstddef>

inline constexpr std::size_t PATH_BUFFER_SIZE = 260; // terminator included

// How a program writes its directory. The converter keeps it without the last backslash
// and joins its files with "\"; the viewer keeps the backslash and appends names directly.
// Each program builds its other paths (profiles, usage guide) on its own form.
enum class DirectoryForm { WithoutBackslash, WithBackslash };

// Fills directory with the program file's path cut at its last backslash (kept whole when
// it has none), and settingsFile with the settings file in that directory; settingsFile is
// empty when that path would not fit in PATH_BUFFER_SIZE.
void FindProgramPaths(const char* programFile, DirectoryForm form,
                      char (&directory)[PATH_BUFFER_SIZE], char (&settingsFile)[PATH_BUFFER_SIZE]);
