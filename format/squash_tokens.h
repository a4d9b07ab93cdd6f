// The squash coding's token bytes as the encoder writes them and the decoder reads them
// (squash_coding.h has the diagram): the kind in the top bits, a length field below.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t KIND_VERBATIM = 0x00;
inline constexpr std::uint8_t KIND_DELTA = 0x20;
inline constexpr std::uint8_t KIND_ABOVE = 0x40;
inline constexpr std::uint8_t KIND_REPEAT = 0x60;
inline constexpr std::uint8_t KIND_FAR = 0x80;
inline constexpr std::uint32_t SHORT_FIELD = 31; // length field of the first four kinds
inline constexpr std::uint32_t FAR_FIELD = 63;   // length field of a copy from a distance
