// DecodeRecord: turns one record of a Zentra file, or an animation frame built up from
// the last full frame before it, into the display bitmap.
#pragma once

#include "display_bitmap.h"

#include <string>

// Frees the bitmap's pixels, then decodes record index (from 0, in file order) of the
// named file into it. With buildUp, a selected delta record is drawn over the last full
// frame before it and the delta records in between. Afterwards the bitmap holds pixels
// or is absent (bad index, unreadable file, rejected header, unsupported size).
void DecodeRecord(const std::string& fileName, int index, bool buildUp, DisplayBitmap& bitmap);
