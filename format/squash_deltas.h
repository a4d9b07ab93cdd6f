// The squash coding's delta codes: a pixel (or two or three grey pixels) told by its
// difference to the pixel before it, in one or two bytes, for runs of photo-like pixels at
// depths 8, 16 and 24. Shared by the encoder and the reference decoder.
//
//   depth 8 (grey), differences modulo 256:
//     00aaabbb           two pixels, differences a and b in -4..3
//     01dddddd           one pixel, difference in -32..31
//     10aabbcc           three pixels, differences in -2..1
//     11xxxxxx v         one pixel of value v (x is 0)
//   depth 16 (RGB565, red r, green g, blue b as 5, 6, 5-bit numbers), plain differences;
//   the new value is the old one plus r x 2048 + g x 32 + b, modulo 65536:
//     0gggrrbb           g in -4..3, r and b in -2..1
//     10gggggg rrrrbbbb  g in -32..31, r and b in -8..7
//     11xxxxxx p q       the pixel's two bytes as stored
//   depth 24 (bytes c0, c1, c2 as stored; c1 is green), differences modulo 256; a and b
//   are the differences of c0 and c2 less the difference g of c1:
//     0gggaabb           g in -4..3, a and b in -2..1
//     10gggggg aaaabbbb  g in -32..31, a and b in -8..7
//     11xxxxxx p q r     the pixel's three bytes as stored
#pragma once

#include <cstdint>

// A field of `bits` bits holding a signed number of that many bits, back to -half..half-1.
inline int SignedField(unsigned value, unsigned bits) {
    const int half = 1 << (bits - 1);
    return static_cast<int>(value & ((1u << bits) - 1)) -
           ((value & static_cast<unsigned>(half)) ? 2 * half : 0);
}

// Difference a - b of two `bits`-bit numbers, wrapped into -half..half-1.
inline int WrappedDifference(unsigned a, unsigned b, unsigned bits) {
    return SignedField(a - b, bits);
}

inline bool Within(int value, int low, int high) {
    return value >= low && value <= high;
}

// The colour fields of a pixel unit: grey v; RGB565 r, g, b; or c0, c1, c2.
struct PixelFields {
    unsigned a = 0; // grey, red, or c0
    unsigned g = 0; // green or c1 (unused for grey)
    unsigned b = 0; // blue or c2 (unused for grey)
};

// A unit's bytes read as fields. `value` holds the unit's bytes first byte highest.
inline PixelFields FieldsOf(std::uint32_t value, unsigned depth, bool highByteFirst) {
    PixelFields f;
    if (depth == 8) {
        f.a = value;
    } else if (depth == 16) {
        const unsigned v = highByteFirst ? value : ((value >> 8) | ((value & 0xFF) << 8));
        f.a = (v >> 11) & 31;
        f.g = (v >> 5) & 63;
        f.b = v & 31;
    } else {
        f.a = (value >> 16) & 0xFF;
        f.g = (value >> 8) & 0xFF;
        f.b = value & 0xFF;
    }
    return f;
}

inline std::uint32_t ValueOf(const PixelFields& f, unsigned depth, bool highByteFirst) {
    if (depth == 8) {
        return f.a & 0xFF;
    }
    if (depth == 16) {
        const unsigned v = ((f.a & 31) << 11) | ((f.g & 63) << 5) | (f.b & 31);
        return highByteFirst ? v : ((v >> 8) | ((v & 0xFF) << 8));
    }
    return ((f.a & 0xFF) << 16) | ((f.g & 0xFF) << 8) | (f.b & 0xFF);
}

// Differences of a colour pixel to the one before: dg of green (c1), da and db of the
// other two. At depth 16 they are plain differences of the 5-, 6- and 5-bit fields, and
// a code stands for the RGB565 value plus da x 2048 + dg x 32 + db, modulo 65536 (so the
// encoder uses one only where no field leaves its range). At depth 24 they are modulo
// 256, da and db less dg.
struct ColourDifference {
    int dg = 0;
    int da = 0;
    int db = 0;
};

inline ColourDifference DifferenceOf(const PixelFields& now, const PixelFields& before,
                                     unsigned depth) {
    ColourDifference d;
    if (depth == 16) {
        d.dg = static_cast<int>(now.g) - static_cast<int>(before.g);
        d.da = static_cast<int>(now.a) - static_cast<int>(before.a);
        d.db = static_cast<int>(now.b) - static_cast<int>(before.b);
    } else {
        d.dg = WrappedDifference(now.g, before.g, 8);
        d.da = SignedField(static_cast<unsigned>(WrappedDifference(now.a, before.a, 8) - d.dg), 8);
        d.db = SignedField(static_cast<unsigned>(WrappedDifference(now.b, before.b, 8) - d.dg), 8);
    }
    return d;
}

// The unit value (first byte highest) that a code's differences make of the one before.
inline std::uint32_t ApplyDifference(std::uint32_t before, const ColourDifference& d,
                                     unsigned depth, bool highByteFirst) {
    if (depth == 16) {
        const unsigned v = highByteFirst ? before : ((before >> 8) | ((before & 0xFF) << 8));
        const unsigned sum = (v + static_cast<unsigned>(d.da * 2048 + d.dg * 32 + d.db)) & 0xFFFF;
        return highByteFirst ? sum : ((sum >> 8) | ((sum & 0xFF) << 8));
    }
    const PixelFields f = FieldsOf(before, depth, highByteFirst);
    PixelFields n;
    n.g = static_cast<unsigned>(static_cast<int>(f.g) + d.dg);
    n.a = static_cast<unsigned>(static_cast<int>(f.a) + d.da + d.dg);
    n.b = static_cast<unsigned>(static_cast<int>(f.b) + d.db + d.dg);
    return ValueOf(n, depth, highByteFirst);
}

// Bytes of the shortest delta code for one colour pixel: 1, 2, or the escape (1 + unit).
inline unsigned ColourCodeBytes(const ColourDifference& d, unsigned unitBytes) {
    if (Within(d.dg, -4, 3) && Within(d.da, -2, 1) && Within(d.db, -2, 1)) {
        return 1;
    }
    if (Within(d.dg, -32, 31) && Within(d.da, -8, 7) && Within(d.db, -8, 7)) {
        return 2;
    }
    return 1 + unitBytes;
}
