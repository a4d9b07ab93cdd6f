// A drop as the shell delivers it with WM_DROPFILES: a DROPFILES block in moveable global
// memory, followed by the ANSI paths, each NUL-terminated, and a final NUL.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

// The block for the paths; the receiver's DragFinish frees it.
HDROP MakeShellDrop(const std::vector<std::string>& paths);
