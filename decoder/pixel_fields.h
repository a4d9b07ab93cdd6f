// Reordering the pixel fields inside one packed byte, for reversed pixel order at
// depths 2 and 4 (depth 1 uses MirrorByte).
#pragma once

#include <cstdint>

//   fields  [7-6][5-4][3-2][1-0]   ->   [1-0][3-2][5-4][7-6]
constexpr std::uint8_t ReversePairOrder(std::uint8_t b) {
    b = static_cast<std::uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
    b = static_cast<std::uint8_t>(((b & 0xCC) >> 2) | ((b & 0x33) << 2));
    return b;
}

//   halves  [7-4][3-0]   ->   [3-0][7-4]
constexpr std::uint8_t SwapNibbles(std::uint8_t b) {
    return static_cast<std::uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
}
