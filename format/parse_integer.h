// Integers written as text, read by one rule wherever the tools take a number: the
// profile file's lay-out codes and depths, ztr's options and operands, the converter's
// delay field. An optional sign ("+" or "-"), then decimal digits; in C style also "0x"
// or "0X" and hexadecimal digits, or a leading "0" and octal digits. No blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

enum class IntegerStyle {
    Decimal, // "010" is ten
    C,       // like C's %i: "010" is eight, "0x10" sixteen
};

// The number at the start of a text.
struct ScannedInteger {
    std::size_t length = 0; // characters taken; 0 when the text starts with no number
    bool negative = false;
    std::uint64_t magnitude = 0; // modulo 2^64
    bool overflow = false;       // the magnitude did not fit in 64 bits

    // The value modulo 2^32, for fields that keep their low bits.
    std::uint32_t Low32() const {
        return static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    }
    // The value when it lies within [min, max].
    std::optional<std::int64_t> Within(std::int64_t min, std::int64_t max) const;
};

// Reads the longest number at the start of `text`. In C style "0x" without a hexadecimal
// digit after it is the number 0 followed by "x".
ScannedInteger ScanInteger(std::string_view text, IntegerStyle style);

// The whole text as one number within [min, max]; nothing when the text holds anything
// else or the number lies outside.
std::optional<std::int64_t> ParseInteger(std::string_view text, IntegerStyle style,
                                         std::int64_t min, std::int64_t max);
