// The longest path the tools write to or take from a dialog: the Windows limit of 260
// characters with the terminating zero, kept on every platform so that a conversion
// that works on one works on all.
#pragma once

#include <cstddef>

inline constexpr std::size_t MAX_PATH_CHARS = 259; // the platform's path limit
