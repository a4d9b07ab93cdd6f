// DecodeRecord: turns one record of a Zentra file, or an animation frame built up from
// the last full frame before it, into the display bitmap, and says what came of it.
#pragma once

#include "byte_source.h"
#include "display_bitmap.h"

#include <string>

// What a decoding came to. After Shown, Planar and DepthNotShown the bitmap holds pixels
// (blank for the last two, as those records are not decoded); after the others it is
// absent.
enum class DecodeStatus {
    Shown,         // the record, or the frame built up to it, is in the bitmap
    NoRecord,      // the index is negative, or the file's records end before it
    CannotOpen,    // there is no file name, or the file cannot be opened
    TooLarge,      // the bitmap would be larger than the decoder takes on
    OutOfMemory,   // the pixel block could not be allocated
    Planar,        // the selected record has a planar lay-out, which is not decoded
    DepthNotShown, // the selected record's colour depth is not decoded
};

// Frees the bitmap's pixels, then decodes record index (from 0, in file order) of the
// named file into it. With buildUp, a selected delta record is drawn over the last full
// frame before it and the delta records in between. A record whose pixel data the file
// cuts short shows what is there, the missing bytes read as 0.
DecodeStatus DecodeRecord(const std::string& fileName, int index, bool buildUp,
                          DisplayBitmap& bitmap);

// The same from either kind of source.
DecodeStatus DecodeRecord(const ByteSource& source, int index, bool buildUp, DisplayBitmap& bitmap);
