// The lay-out view: a record's bytes, as written for its own lay-out, read back as a panel
// that expects another lay-out of the same size and depth reads them, so that a user
// matches what their screen shows and reads off the type code the panel needs.
#pragma once

#include "byte_source.h"
#include "decode_status.h"
#include "display_bitmap.h"

#include <cstdint>

// Record index (from 0) of a Zentra file decoded as if its lay-out bits were `layout`:
// the same pixel data, size, depth and palette, placed as that lay-out places them. Bytes
// the other lay-out needs beyond the record's read as 0, as a panel shows memory nothing
// was written to; bytes it needs fewer of are left unread. A delta record is read as a
// full frame of its rectangle. What DecodeRecord says of the result, or NoRecord.
DecodeStatus DecodeRecordAsLayout(const ByteSource& source, int index, std::uint8_t layout,
                                  DisplayBitmap& bitmap);
