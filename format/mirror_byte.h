// The eight bits of a byte in reverse order; used by the packers for reversed lay-outs
// and by the viewer's decoder.
#pragma once

#include <cstdint>

//   bit  7 6 5 4 3 2 1 0   ->   0 1 2 3 4 5 6 7
constexpr std::uint8_t MirrorByte(std::uint8_t b) {
    b = static_cast<std::uint8_t>(((b & 0xF0) >> 4) | ((b & 0x0F) << 4));
    b = static_cast<std::uint8_t>(((b & 0xCC) >> 2) | ((b & 0x33) << 2));
    b = static_cast<std::uint8_t>(((b & 0xAA) >> 1) | ((b & 0x55) << 1));
    return b;
}
