// Placing a window over the middle of another window, or of the primary screen, without
// letting it leave the virtual screen (the bounding rectangle of all monitors).
#pragma once

#include <windows.h>

// Moves window (keeping its size, z-order and activation) to the centre of reference's
// window rectangle, or of the primary screen when reference is not a window, offset
// downwards by verticalOffset, then pushed back onto the virtual screen.
void CentreWindow(HWND window, HWND reference, int verticalOffset);
