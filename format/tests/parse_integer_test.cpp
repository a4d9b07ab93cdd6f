// The tools' one integer rule: signs, the decimal and C styles, where a number ends,
// whole-text parsing with its range, and the low 32 bits that profile fields keep.
#include "parse_integer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ParseInteger, SignsStylesEndsAndRanges) {
    const struct {
        const char* text;
        IntegerStyle style;
        std::size_t length;             // characters ScanInteger takes
        std::optional<long long> whole; // ParseInteger within int64
    } cases[] = {
        {"42", IntegerStyle::Decimal, 2, 42},
        {"+42", IntegerStyle::Decimal, 3, 42},
        {"-42", IntegerStyle::Decimal, 3, -42},
        {"010", IntegerStyle::Decimal, 3, 10},
        {"010", IntegerStyle::C, 3, 8},
        {"0x1F", IntegerStyle::C, 4, 31},
        {"-0X1f", IntegerStyle::C, 5, -31},
        {"0x1F", IntegerStyle::Decimal, 1, std::nullopt}, // 0, then "x1F"
        {"0x", IntegerStyle::C, 1, std::nullopt},         // 0, then "x"
        {"0xg", IntegerStyle::C, 1, std::nullopt},
        {"08", IntegerStyle::C, 1, std::nullopt}, // octal 0, then "8"
        {"0", IntegerStyle::C, 1, 0},
        {"12x", IntegerStyle::C, 2, std::nullopt},
        {"+", IntegerStyle::Decimal, 0, std::nullopt},
        {"-", IntegerStyle::C, 0, std::nullopt},
        {"", IntegerStyle::Decimal, 0, std::nullopt},
        {" 5", IntegerStyle::Decimal, 0, std::nullopt},
        {"5 ", IntegerStyle::Decimal, 1, std::nullopt},
        {"++5", IntegerStyle::Decimal, 0, std::nullopt},
        {"9223372036854775807", IntegerStyle::Decimal, 19, INT64_MAX},
        {"-9223372036854775808", IntegerStyle::Decimal, 20, INT64_MIN},
        {"9223372036854775808", IntegerStyle::Decimal, 19, std::nullopt},
        {"99999999999999999999", IntegerStyle::Decimal, 20, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ScanInteger(c.text, c.style).length, c.length);
        const std::optional<std::int64_t> whole =
            ParseInteger(c.text, c.style, INT64_MIN, INT64_MAX);
        EXPECT_EQ(whole.has_value(), c.whole.has_value());
        if (whole && c.whole) {
            EXPECT_EQ(*whole, *c.whole);
        }
    }
    EXPECT_EQ(ParseInteger("65535", IntegerStyle::Decimal, 0, 65535), 65535);
    EXPECT_EQ(ParseInteger("65536", IntegerStyle::Decimal, 0, 65535), std::nullopt);
    EXPECT_EQ(ParseInteger("-1", IntegerStyle::Decimal, 0, 65535), std::nullopt);
}

// Profile fields keep the value modulo 2^32, even past 64 bits: 2^64 + 1 leaves 1.
TEST(ParseInteger, LowBitsWrapLikeThirtyTwoBitArithmetic) {
    const struct {
        const char* text;
        std::uint32_t low;
    } cases[] = {
        {"65537", 65537},  {"-1", 0xFFFFFFFF},          {"-2", 0xFFFFFFFE},
        {"4294967297", 1}, {"18446744073709551617", 1}, {"0x1234567890", 0x34567890},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ScanInteger(c.text, IntegerStyle::C).Low32(), c.low);
    }
}

} // namespace
