// The Zentra file format: record and delta headers, the lay-out byte's bits and record
// flags, and their little-endian byte form on disk. Shared by the writer and the decoder.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Lay-out byte, bits 0-4: how the display memory takes its pixels.
inline constexpr std::uint8_t LAYOUT_ORDER = 0x03;
inline constexpr std::uint8_t ORDER_ROWS = 0;
inline constexpr std::uint8_t ORDER_COLUMNS = 1;
inline constexpr std::uint8_t ORDER_BANDED_ROWS = 2;
inline constexpr std::uint8_t ORDER_BANDED_COLUMNS = 3;
inline constexpr std::uint8_t LAYOUT_REVERSED = 0x04;
inline constexpr std::uint8_t LAYOUT_PLANAR = 0x08;
inline constexpr std::uint8_t LAYOUT_INVERTED_Y = 0x10;
inline constexpr std::uint8_t LAYOUT_BITS = 0x1F;

// Lay-out byte, bits 5-7: what the record itself holds.
inline constexpr std::uint8_t RECORD_DELTA = 0x20;
inline constexpr std::uint8_t RECORD_PALETTE = 0x40;
inline constexpr std::uint8_t RECORD_LAST_FRAME = 0x80;

inline constexpr std::uint8_t SIGNATURE_FIRST_BYTE = 0x02;
inline constexpr std::uint8_t SIGNATURE_SECOND_BYTE = 0xA2;
inline constexpr std::uint16_t RECORD_SIGNATURE = 0xA202; // the two bytes read little-endian

inline constexpr std::size_t RECORD_HEADER_SIZE = 12;
inline constexpr std::size_t DELTA_HEADER_SIZE = 6;

// Bytes 0-11 of every record.
//   0..3  record length (whole record, this header included)
//   4..5  signature 0x02 0xA2
//   6     lay-out byte       7     colour depth
//   8..9  width              10..11 height
struct RecordHeader {
    std::uint32_t recordLength = 0;
    std::uint16_t signature = RECORD_SIGNATURE;
    std::uint8_t layout = 0;
    std::uint8_t depth = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

// Follows the record header when RECORD_DELTA is set: delay (ms), dx, dy.
struct DeltaHeader {
    std::uint16_t delay = 0;
    std::uint16_t dx = 0;
    std::uint16_t dy = 0;
};

std::array<std::uint8_t, RECORD_HEADER_SIZE> EncodeRecordHeader(const RecordHeader& header);
RecordHeader DecodeRecordHeader(const std::array<std::uint8_t, RECORD_HEADER_SIZE>& bytes);
std::array<std::uint8_t, DELTA_HEADER_SIZE> EncodeDeltaHeader(const DeltaHeader& header);
DeltaHeader DecodeDeltaHeader(const std::array<std::uint8_t, DELTA_HEADER_SIZE>& bytes);

// Size in bytes of a palette of 2^depth entries of red, green, blue. Saturates for
// depths whose palette could not exist in any file.
std::uint64_t PaletteSize(unsigned depth);
