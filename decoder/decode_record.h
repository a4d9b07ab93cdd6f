// DecodeRecord: turns one record of a Zentra file, or an animation frame built up from
// the last full frame before it, into the display bitmap, and says what came of it.
#pragma once

#include "byte_source.h"
#include "decode_status.h"
#include "display_bitmap.h"

#include <string>

// Frees the bitmap's pixels, then decodes record index (from 0, in file order) of the
// named file into it. With buildUp, a selected delta record is drawn over the last full
// frame before it and the delta records in between. A record whose pixel data the file
// cuts short shows what is there, the missing bytes read as 0.
DecodeStatus DecodeRecord(const std::string& fileName, int index, bool buildUp,
                          DisplayBitmap& bitmap);

// The same from either kind of source.
DecodeStatus DecodeRecord(const ByteSource& source, int index, bool buildUp, DisplayBitmap& bitmap);
