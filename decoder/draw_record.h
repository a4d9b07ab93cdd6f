// Drawing records onto a display bitmap, the one way that DecodeRecord and FramePlayer
// share: a run of records starts on a zeroed bitmap sized after its first record, and
// each record of the run places its pixels over what the records before it drew.
#pragma once

#include "byte_reader.h"
#include "decode_status.h"
#include "display_bitmap.h"
#include "zentra_format.h"

// Sizes the bitmap after the first record of a run, every pixel 0, its pixel block reused
// when it has one. TooLarge or OutOfMemory leave no pixels.
DecodeStatus StartRun(DisplayBitmap& bitmap, const RecordHeader& header);

// Whether a record after the first of a run is drawn, the file standing just after its
// header: not when the rest of the file cannot hold its pixel data at all. Such a record
// is cut off or damaged, and the run ends before it, keeping what it has drawn; drawing
// it would only spin on missing bytes for as long as its size says.
bool RecordCanFollow(ByteReader& file, const RecordHeader& header);

// Reads the rest of one record, the file standing just after its header, and places its
// pixels: a delta record at its offset with buildUp, at the origin without. onZeros when
// the record is the first of its run, drawn on a freshly zeroed block (it is then placed
// only as far as the file's bytes reach). The record's colour table replaces the bitmap's.
void DrawRecord(ByteReader& file, const RecordHeader& header, bool buildUp, bool onZeros,
                DisplayBitmap& bitmap);

// What the selected record shows once it is in the bitmap: Shown, or Planar or
// DepthNotShown for a record whose pixels are not decoded.
DecodeStatus ShownStatus(const RecordHeader& header);
