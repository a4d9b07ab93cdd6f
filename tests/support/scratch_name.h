// Names for scratch files and folders that stay apart when CTest runs several test
// processes at once: every name carries the process id.
#pragma once

#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

inline std::string ScratchName(const std::string& stem) {
#ifdef _WIN32
    const long id = static_cast<long>(_getpid());
#else
    const long id = static_cast<long>(getpid());
#endif
    return stem + "_" + std::to_string(id);
}
