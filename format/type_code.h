// Type code: one chosen display type as a 32-bit value, the profile's lay-out code in
// bits 0-15 and its colour depth in bits 16-23.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t MakeTypeCode(std::uint16_t layout, std::uint8_t depth) {
    return static_cast<std::uint32_t>(layout) | (static_cast<std::uint32_t>(depth) << 16);
}

// The writer uses bits 0-7 of the lay-out code.
inline constexpr std::uint8_t TypeCodeLayout(std::uint32_t code) {
    return static_cast<std::uint8_t>(code & 0xFF);
}

inline constexpr std::uint8_t TypeCodeDepth(std::uint32_t code) {
    return static_cast<std::uint8_t>((code >> 16) & 0xFF);
}
