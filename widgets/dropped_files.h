// The paths of files dropped from the shell onto a window (WM_DROPFILES).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

// Every dropped path, whole however long, in the order the shell gives them; the drop is
// finished (its memory released) before returning.
std::vector<std::string> TakeDroppedPaths(HDROP drop);
