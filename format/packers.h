// The six packers: a rectangle of a one-byte-per-pixel picture becomes a record's
// unpacked byte stream for one depth and pixel order, passed through the run-length
// coder into the output file.
#pragma once

#include "changed_rect.h"
#include "run_length_buffer.h"
#include "zentra_format.h"

#include <cstdint>
#include <cstdio>

// header.width and header.height hold the full picture's size W x H; header.layout the
// record's lay-out bits. Pixel (i, j) of the rectangle is pixels[(rect.y + j) * W +
// rect.x + i]. Each codes through `coded` and returns false when writing the coded data
// failed or the coder ran out of memory (coded.OutOfMemory() tells which).
using Packer = bool (*)(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                        const std::uint8_t* pixels, const ChangedRect& rect);

bool PackRowOrder1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                   const std::uint8_t* pixels, const ChangedRect& rect);
bool PackColumnOrder1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                      const std::uint8_t* pixels, const ChangedRect& rect);
bool PackBandedRows1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                     const std::uint8_t* pixels, const ChangedRect& rect);
bool PackBandedColumns1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                        const std::uint8_t* pixels, const ChangedRect& rect);
bool PackRowOrder8(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                   const std::uint8_t* pixels, const ChangedRect& rect);
bool PackColumnOrder8(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                      const std::uint8_t* pixels, const ChangedRect& rect);

// The packer for a depth and the order bits of a final lay-out byte, or null when the
// depth has none (only 1 and 8 are packed).
Packer SelectPacker(int depth, std::uint8_t layout);
