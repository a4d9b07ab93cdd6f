// The pixel fields of one packed byte in reverse order, for reversed lay-outs at depths 1,
// 2 and 4: the first pixel moves from the most to the least significant field, and the
// bits inside a field keep their order.
#pragma once

#include "mirror_byte.h"

#include <cstdint>

//   depth 1  bits    7   6   5   4   3   2   1   0   ->  0 1 2 3 4 5 6 7 (MirrorByte)
//   depth 2  fields  [7-6][5-4][3-2][1-0]            ->  [1-0][3-2][5-4][7-6]
//   depth 4  fields  [7-4][3-0]                      ->  [3-0][7-4]
template <int Depth> constexpr std::uint8_t ReverseFields(std::uint8_t b) {
    static_assert(Depth == 1 || Depth == 2 || Depth == 4, "depths of several pixels a byte");
    if constexpr (Depth == 1) {
        return MirrorByte(b);
    }
    b = static_cast<std::uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
    if constexpr (Depth == 2) {
        b = static_cast<std::uint8_t>(((b & 0xCC) >> 2) | ((b & 0x33) << 2));
    }
    return b;
}
