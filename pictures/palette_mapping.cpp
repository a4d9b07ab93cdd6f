// Nearest colours, error diffusion and ordered dithering towards a palette, in integer
// OKLab and linear light so that every platform maps a picture alike.
#include "palette_mapping.h"

#include "dither_kernels.h"
#include "nearest_colour.h"
#include "oklab.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace {

using Linear = std::array<std::int32_t, 3>;

Linear ToLinear(const PaletteColour& colour) {
    return {SrgbToLinear(colour.red), SrgbToLinear(colour.green), SrgbToLinear(colour.blue)};
}

std::int64_t LinearDistance2(const Linear& x, const Linear& y) {
    std::int64_t sum = 0;
    for (int c = 0; c < 3; ++c) {
        const std::int64_t d = x[c] - y[c];
        sum += d * d;
    }
    return sum;
}

// The integer square root of n (rounded down).
std::int64_t SquareRoot(std::int64_t n) {
    std::int64_t root = 0;
    for (int bit = 31; bit >= 0; --bit) {
        const std::int64_t candidate = root | (std::int64_t{1} << bit);
        if (candidate <= n / candidate) {
            root = candidate;
        }
    }
    return root;
}

std::uint32_t Packed(const std::uint8_t* rgb) {
    return static_cast<std::uint32_t>(rgb[0]) << 16 | static_cast<std::uint32_t>(rgb[1]) << 8 |
           rgb[2];
}

void MapNearest(const std::uint8_t* rgb, std::size_t count, const NearestColour& finder,
                std::uint8_t* indices) {
    // Pictures repeat their colours: a small table remembers recent answers.
    constexpr std::size_t CACHE = 4096;
    std::vector<std::uint32_t> cachedColour(CACHE, UINT32_MAX);
    std::vector<std::uint8_t> cachedIndex(CACHE, 0);
    for (std::size_t i = 0; i < count; ++i, rgb += 3) {
        const std::uint32_t colour = Packed(rgb);
        const std::size_t slot = (colour ^ (colour >> 11) ^ (colour >> 19)) % CACHE;
        if (cachedColour[slot] != colour) {
            cachedColour[slot] = colour;
            cachedIndex[slot] =
                static_cast<std::uint8_t>(finder.Find(SrgbToLab(rgb[0], rgb[1], rgb[2])));
        }
        indices[i] = cachedIndex[slot];
    }
}

template <std::size_t K>
void Diffuse(const std::uint8_t* rgb, int width, int height, const std::vector<Linear>& linear,
             const NearestColour& finder, const Diffusion (&kernel)[K], int shares,
             std::uint8_t* indices) {
    // The current row and the two below it, three channels a pixel, two pixels of margin
    // on both sides.
    const auto rowLength = (static_cast<std::size_t>(width) + 4) * 3;
    std::vector<std::int32_t> errors(3 * rowLength, 0);
    for (int y = 0; y < height; ++y) {
        std::int32_t* rows[3];
        for (int r = 0; r < 3; ++r) {
            rows[r] = &errors[static_cast<std::size_t>((y + r) % 3) * rowLength + 6];
        }
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            Linear wanted;
            for (int c = 0; c < 3; ++c) {
                wanted[c] =
                    std::clamp(SrgbToLinear(rgb[3 * i + c]) + rows[0][3 * x + c], 0, LINEAR_ONE);
            }
            const std::size_t k = finder.Find(LinearToLab(wanted[0], wanted[1], wanted[2]));
            indices[i] = static_cast<std::uint8_t>(k);
            for (int c = 0; c < 3; ++c) {
                const std::int32_t residual = wanted[c] - linear[k][c];
                for (const Diffusion& d : kernel) {
                    rows[d.dy][3 * (x + d.dx) + c] += residual * d.weight / shares;
                }
            }
        }
        std::fill(rows[0] - 6, rows[0] - 6 + rowLength, 0);
    }
}

// How far ordered dithering moves a channel: the mean, over the palette's colours, of
// the linear-light distance to the nearest other colour, per channel (divided by the
// square root of 3). A single colour has nothing to dither between.
std::int64_t Spread(const std::vector<Linear>& linear) {
    if (linear.size() < 2) {
        return 0;
    }
    std::int64_t total = 0;
    for (std::size_t i = 0; i < linear.size(); ++i) {
        std::int64_t nearest = INT64_MAX;
        for (std::size_t j = 0; j < linear.size(); ++j) {
            if (j != i) {
                nearest = std::min(nearest, LinearDistance2(linear[i], linear[j]));
            }
        }
        total += SquareRoot(nearest / 3);
    }
    return total / static_cast<std::int64_t>(linear.size());
}

template <int N>
void Ordered(const std::uint8_t* rgb, int width, int height, const std::vector<Linear>& linear,
             std::uint8_t* indices) {
    static const std::array<int, N* N> matrix = BayerMatrix<N>();
    constexpr int cells = N * N;
    const std::int64_t spread = Spread(linear);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            const int m = matrix[static_cast<std::size_t>(y % N) * N + x % N];
            // The offset spread * ((m + 0.5) / cells - 0.5), from -spread/2 to spread/2.
            const auto offset =
                static_cast<std::int32_t>(spread * (2 * m + 1 - cells) / (2 * cells));
            Linear wanted;
            for (int c = 0; c < 3; ++c) {
                wanted[c] = std::clamp(SrgbToLinear(rgb[3 * i + c]) + offset, 0, LINEAR_ONE);
            }
            std::size_t best = 0;
            std::int64_t bestDistance = INT64_MAX;
            for (std::size_t k = 0; k < linear.size(); ++k) {
                const std::int64_t distance = LinearDistance2(wanted, linear[k]);
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = k;
                }
            }
            indices[i] = static_cast<std::uint8_t>(best);
        }
    }
}

} // namespace

bool MapToPalette(const std::uint8_t* rgb, int width, int height, const Palette& palette,
                  Dither dither, std::uint8_t* indices) {
    if (palette.empty() || palette.size() > 256) {
        return false;
    }
    if (width < 1 || height < 1) {
        return true;
    }
    try {
        std::vector<Lab> labs;
        std::vector<Linear> linear;
        for (const PaletteColour& colour : palette) {
            labs.push_back(SrgbToLab(colour.red, colour.green, colour.blue));
            linear.push_back(ToLinear(colour));
        }
        const NearestColour finder(labs);
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        switch (dither) {
        case Dither::None:
            MapNearest(rgb, count, finder, indices);
            break;
        case Dither::FloydSteinberg:
            Diffuse(rgb, width, height, linear, finder, FLOYD_STEINBERG, FLOYD_STEINBERG_SHARES,
                    indices);
            break;
        case Dither::Atkinson:
            Diffuse(rgb, width, height, linear, finder, ATKINSON, ATKINSON_SHARES, indices);
            break;
        case Dither::Bayer4:
            Ordered<4>(rgb, width, height, linear, indices);
            break;
        case Dither::Bayer8:
            Ordered<8>(rgb, width, height, linear, indices);
            break;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
