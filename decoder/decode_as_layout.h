// The lay-out view: a record's bytes, as written for its own lay-out, read back as a panel
// that expects another lay-out of the same size and depth reads them, so that a user
// matches what their screen shows and reads off the type code the panel needs.
#pragma once

#include "byte_source.h"
#include "decode_status.h"
#include "display_bitmap.h"

#include <cstdint>
#include <vector>

// Every lay-out byte (bits 0-4) under which a panel of the depth reads a record's bytes
// differently, in increasing order: the four orders, reversed pixel order and inverted
// Y axis (16 at depths 1, 2 and 4); at depth 8 rows and columns with and without inverted
// Y; at depths 16 and 24 also the byte order (8); at depths 2, 4 and 8 also the planar
// lay-outs, whose planes are packed as at depth 1 (16 more). Empty for any other depth.
std::vector<std::uint8_t> ReadableLayouts(unsigned depth);

// Record index (from 0) of a Zentra file decoded as if its lay-out bits were `layout`:
// the same pixel data, size, depth and palette, placed as that lay-out places them. Bytes
// the other lay-out needs beyond the record's read as 0, as a panel shows memory nothing
// was written to; bytes it needs fewer of are left unread. A delta record is read as a
// full frame of its rectangle. What DecodeRecord says of the result, or NoRecord.
DecodeStatus DecodeRecordAsLayout(const ByteSource& source, int index, std::uint8_t layout,
                                  DisplayBitmap& bitmap);
