// Colour spaces for palettes: sRGB bytes, linear light and OKLab, all in fixed point so
// that every platform (the native tools, the 32-bit Windows build, WebAssembly) chooses
// exactly the same colours and writes the same bytes.
#pragma once

#include <cstdint>

// Linear light runs from 0 (black) to LINEAR_ONE (full intensity of a channel).
inline constexpr std::int32_t LINEAR_ONE = 1 << 16;

// OKLab in units of 1 / LAB_ONE: L from 0 (black) to LAB_ONE (white); a and b about
// -0.4 to 0.4 of LAB_ONE; every grey has a = b = 0.
inline constexpr std::int32_t LAB_ONE = 1 << 14;

struct Lab {
    std::int32_t l = 0;
    std::int32_t a = 0;
    std::int32_t b = 0;

    friend bool operator==(const Lab&, const Lab&) = default;
};

// The linear light of an sRGB byte (the sRGB transfer curve), 0 to LINEAR_ONE.
std::int32_t SrgbToLinear(std::uint8_t value);

// The sRGB byte whose interval on the transfer curve holds a linear value (rounded in
// the sRGB domain); values outside 0 .. LINEAR_ONE give 0 or 255.
std::uint8_t LinearToSrgb(std::int32_t linear);

// OKLab of a colour in linear light (each channel clamped to 0 .. LINEAR_ONE first).
Lab LinearToLab(std::int32_t red, std::int32_t green, std::int32_t blue);

// OKLab of an sRGB colour.
Lab SrgbToLab(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The sRGB colour nearest to an OKLab colour: linear light clamped to the displayable
// range, then rounded to bytes. Writes red, green, blue to rgb.
void LabToSrgb(const Lab& lab, std::uint8_t* rgb);

// The square root of n (0 or more) rounded down.
std::int64_t IntegerSquareRoot(std::int64_t n);

// The chroma of an OKLab colour, sqrt(a^2 + b^2) rounded down: 0 for every grey, about
// 0.32 of LAB_ONE for sRGB red.
std::int32_t Chroma(const Lab& lab);

// The squared distance of two OKLab colours, in units of 1 / LAB_ONE^2.
inline std::int64_t LabDistance2(const Lab& x, const Lab& y) {
    const std::int64_t dl = x.l - y.l;
    const std::int64_t da = x.a - y.a;
    const std::int64_t db = x.b - y.b;
    return dl * dl + da * da + db * db;
}
