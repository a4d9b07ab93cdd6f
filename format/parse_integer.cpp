// The one integer rule of the tools: sign, then digits in the style's bases.
#include "parse_integer.h"

namespace {

int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

} // namespace

std::optional<std::int64_t> ScannedInteger::Within(std::int64_t min, std::int64_t max) const {
    if (length == 0 || overflow) {
        return std::nullopt;
    }
    constexpr std::uint64_t largestNegative = std::uint64_t{1} << 63;
    std::int64_t value = 0;
    if (negative) {
        if (magnitude > largestNegative) {
            return std::nullopt;
        }
        value = magnitude == largestNegative ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
    } else {
        if (magnitude >= largestNegative) {
            return std::nullopt;
        }
        value = static_cast<std::int64_t>(magnitude);
    }
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

ScannedInteger ScanInteger(std::string_view text, IntegerStyle style) {
    ScannedInteger number;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        number.negative = text[pos] == '-';
        ++pos;
    }
    unsigned base = 10;
    if (style == IntegerStyle::C && pos < text.size() && text[pos] == '0') {
        base = 8;
        if (pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
            DigitValue(text[pos + 2], 16) >= 0) {
            base = 16;
            pos += 2;
        }
    }
    const std::size_t digitsStart = pos;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) {
            break;
        }
        const std::uint64_t next = number.magnitude * base + static_cast<unsigned>(digit);
        if (number.magnitude > (UINT64_MAX - static_cast<unsigned>(digit)) / base) {
            number.overflow = true;
        }
        number.magnitude = next;
    }
    if (pos == digitsStart) {
        return ScannedInteger{};
    }
    number.length = pos;
    return number;
}

std::optional<std::int64_t> ParseInteger(std::string_view text, IntegerStyle style,
                                         std::int64_t min, std::int64_t max) {
    const ScannedInteger number = ScanInteger(text, style);
    if (number.length == 0 || number.length != text.size()) {
        return std::nullopt;
    }
    return number.Within(min, max);
}
