// Which tone options act on records of which depth. The tone steps read these rules, and
// ztr reads the same ones to warn about an option that cannot change a byte.
#pragma once

#include "zentra_format.h"

// The threshold moves the greys of depth-1 records only.
inline bool ThresholdActsAt(unsigned depth) {
    return depth == 1;
}

// Dithering towards a palette acts at every depth. Without one it brings greys to the
// fewer levels below depth 8 and colours to the channels of 16 bits; depths 8 and 24
// keep every level.
inline bool DitherActsAt(unsigned depth, bool towardsPalette) {
    return towardsPalette || (depth != 8 && depth != 24);
}

// The tone source (colour-table indices or luminance) chooses what grey records take
// from bitmaps with a colour table; colour records take the colours themselves.
inline bool ToneSourceActsAt(unsigned depth) {
    return !IsColourDepth(depth);
}
