// Byte form of the record and delta headers; the depth byte's coding, palette and window
// bits.
#include "zentra_format.h"

#include "little_endian.h"

std::array<std::uint8_t, RECORD_HEADER_SIZE> EncodeRecordHeader(const RecordHeader& header) {
    std::array<std::uint8_t, RECORD_HEADER_SIZE> bytes{};
    PutU32LE(&bytes[0], header.recordLength);
    PutU16LE(&bytes[4], header.signature);
    bytes[6] = header.layout;
    bytes[7] = header.depth;
    // The palette flag moves into the depth byte, where older readers do not look.
    const bool palette = (header.layout & RECORD_PALETTE) != 0;
    if (header.coding == PixelCoding::Squash) {
        bytes[6] = static_cast<std::uint8_t>(header.layout & ~RECORD_PALETTE);
        bytes[7] = static_cast<std::uint8_t>(DEPTH_SQUASH | (palette ? DEPTH_SQUASH_PALETTE : 0) |
                                             (header.depth & DEPTH_SQUASH_BITS));
    } else if (header.coding == PixelCoding::Dense) {
        bytes[6] = static_cast<std::uint8_t>(header.layout & ~RECORD_PALETTE);
        bytes[7] = static_cast<std::uint8_t>(DEPTH_SQUASH | DEPTH_DENSE |
                                             (palette ? DEPTH_DENSE_PALETTE : 0) |
                                             (header.wholeStream ? DEPTH_DENSE_WHOLE : 0) |
                                             DenseDepthBits(header.depth, header.literalTable));
    }
    PutU16LE(&bytes[8], header.width);
    PutU16LE(&bytes[10], header.height);
    return bytes;
}

RecordHeader DecodeRecordHeader(const std::array<std::uint8_t, RECORD_HEADER_SIZE>& bytes) {
    RecordHeader header;
    header.recordLength = GetU32LE(&bytes[0]);
    header.signature = GetU16LE(&bytes[4]);
    header.layout = bytes[6];
    header.depth = bytes[7];
    if ((bytes[7] & (DEPTH_SQUASH | DEPTH_SQUASH_PALETTE | DEPTH_DENSE)) ==
        (DEPTH_SQUASH | DEPTH_DENSE)) {
        header.coding = PixelCoding::Dense;
        header.depth = bytes[7] & DEPTH_DENSE_BITS;
        // Two bits set: the complement of a depth, with a literal table.
        header.literalTable = header.depth == 3 || header.depth == 5 || header.depth == 6;
        header.depth = DenseDepthBits(header.depth, header.literalTable);
        header.wholeStream = (bytes[7] & DEPTH_DENSE_WHOLE) != 0;
        if ((bytes[7] & DEPTH_DENSE_PALETTE) != 0) {
            header.layout |= RECORD_PALETTE;
        }
    } else if ((bytes[7] & DEPTH_SQUASH) != 0) {
        header.coding = PixelCoding::Squash;
        header.depth = bytes[7] & DEPTH_SQUASH_BITS;
        if ((bytes[7] & DEPTH_SQUASH_PALETTE) != 0) {
            header.layout |= RECORD_PALETTE;
        }
    }
    header.width = GetU16LE(&bytes[8]);
    header.height = GetU16LE(&bytes[10]);
    return header;
}

std::array<std::uint8_t, DELTA_HEADER_SIZE> EncodeDeltaHeader(const DeltaHeader& header) {
    std::array<std::uint8_t, DELTA_HEADER_SIZE> bytes{};
    PutU16LE(&bytes[0], header.delay);
    PutU16LE(&bytes[2], header.dx);
    PutU16LE(&bytes[4], header.dy);
    return bytes;
}

DeltaHeader DecodeDeltaHeader(const std::array<std::uint8_t, DELTA_HEADER_SIZE>& bytes) {
    return DeltaHeader{GetU16LE(&bytes[0]), GetU16LE(&bytes[2]), GetU16LE(&bytes[4])};
}

std::uint64_t PaletteSize(unsigned depth) {
    if (depth >= 62) {
        return UINT64_MAX;
    }
    return std::uint64_t{3} << depth;
}

// The lay-out byte of a record of depth D from the profile's lay-out code. Planar records
// keep every bit at depths 2 and 4, whose planes are packed as at depth 1; planar is
// cleared at depth 1 (its one plane is the packed record), at depth 8 and for colour.
// Packed records clear reversal at depth 8, and bit 1 from depth 8 on (the banded orders
// are the plain ones there): 0x1E at depth 8 is row order with inverted Y, 0x10.
std::uint8_t RecordLayout(std::uint8_t layout, int depth) {
    if ((layout & LAYOUT_PLANAR) != 0 && IsPlanarDepth(static_cast<unsigned>(depth))) {
        return layout;
    }
    if (IsWrittenDepth(static_cast<unsigned>(depth))) {
        layout &= static_cast<std::uint8_t>(~LAYOUT_PLANAR);
    }
    if (depth == 8) {
        layout &= static_cast<std::uint8_t>(~LAYOUT_REVERSED);
    }
    if (depth >= 8) {
        layout &= static_cast<std::uint8_t>(~ORDER_BANDED_ROWS); // banded -> plain
    }
    return layout;
}

std::vector<std::uint8_t> WrittenLayouts(unsigned depth) {
    std::vector<std::uint8_t> layouts;
    if (!IsWrittenDepth(depth)) {
        return layouts;
    }
    for (unsigned layout = 0; layout <= LAYOUT_BITS; ++layout) {
        const auto byte = static_cast<std::uint8_t>(layout);
        if (RecordLayout(byte, static_cast<int>(depth)) == byte) {
            layouts.push_back(byte);
        }
    }
    return layouts;
}
