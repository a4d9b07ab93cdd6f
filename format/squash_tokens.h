// The squash coding's token bytes as the encoder writes them and the decoder reads them
// (squash_coding.h has the diagram): the kind in the top bits, a length field below.
#pragma once

#include <cstdint>

// The kind stands in a token's top bits: the top three for kinds 0 to 3 (the first four
// below), the top one alone for kind 4, a copy from a distance.
constexpr std::uint8_t TokenKind(unsigned number) {
    return static_cast<std::uint8_t>(number << 5);
}

inline constexpr std::uint8_t KIND_VERBATIM = TokenKind(0);
inline constexpr std::uint8_t KIND_DELTA = TokenKind(1);
inline constexpr std::uint8_t KIND_ABOVE = TokenKind(2);
inline constexpr std::uint8_t KIND_REPEAT = TokenKind(3);
inline constexpr std::uint8_t KIND_FAR = TokenKind(4);
inline constexpr std::uint32_t SHORT_FIELD = 31; // length field of the first four kinds
inline constexpr std::uint32_t FAR_FIELD = 63;   // length field of a copy from a distance
