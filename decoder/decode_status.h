// DecodeStatus: what decoding a record came to, as DecodeRecord and FramePlayer report it,
// and the outcome that tells a person why a record is not shown.
#pragma once

#include "display_bitmap.h"
#include "outcome.h"

#include <string>

// After Shown, Planar and DepthNotShown the bitmap holds pixels (blank for the last two,
// as those records are not decoded); after the others it is absent.
enum class DecodeStatus {
    Shown,         // the record, or the frame built up to it, is in the bitmap
    NoRecord,      // the index is negative, or the file's records end before it
    CannotOpen,    // there is no file name, or the file cannot be opened
    TooLarge,      // the bitmap would be larger than the decoder takes on
    OutOfMemory,   // the pixel block could not be allocated
    Planar,        // the selected record has a planar lay-out, which is not decoded
    DepthNotShown, // the selected record's colour depth is not decoded
};

// Showing record `index` of `file` (empty for bytes without a name) as it came out: Done
// when the bitmap holds pixels to show, else why not. The system's reason of a file that
// cannot be opened is the caller's to add.
Outcome ShownOutcome(DecodeStatus status, const DisplayBitmap& bitmap, const std::string& file,
                     int index);
