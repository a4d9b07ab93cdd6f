// Nearest colours, error diffusion and ordered dithering towards a palette, in integer
// OKLab and linear light so that every platform maps a picture alike.
#include "palette_mapping.h"

#include "colourless.h"
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

std::uint32_t Packed(const std::uint8_t* rgb) {
    return static_cast<std::uint32_t>(rgb[0]) << 16 | static_cast<std::uint32_t>(rgb[1]) << 8 |
           rgb[2];
}

// The searches of one mapping: over every entry, and over the colour-less entries alone
// for the pixels that the colour-less rule keeps to them.
class Matcher {
  public:
    explicit Matcher(const PaletteMatch& match)
        : all_(Labs(match, false), match.hueWeight), hueWeight_(match.hueWeight) {
        for (std::size_t k = 0; k < match.colours.size(); ++k) {
            linear_.push_back(ToLinear(match.colours[k]));
            if (k < match.colourless.size() && match.colourless[k]) {
                greyIndex_.push_back(k);
            }
        }
        // Without colour-less entries, or with nothing else, the rule changes nothing.
        greyRule_ = !greyIndex_.empty() && greyIndex_.size() < match.colours.size();
        if (greyRule_) {
            greys_ = NearestColour(Labs(match, true), match.hueWeight);
        }
    }

    // Whether a pixel of the picture, of OKLab colour `own`, is kept to the colour-less
    // entries.
    bool KeepsGrey(const Lab& own) const { return greyRule_ && IsColourless(own); }

    // Whether a pixel's own colour counts beside the colour it is matched by.
    bool UsesOwnColour() const { return greyRule_ || hueWeight_ > 1; }

    // The entry for `colour` (a pixel, or a pixel with the errors handed to it), the hue
    // weighed against the pixel's own colour.
    std::size_t Find(const Lab& colour, const Lab& own) const {
        return KeepsGrey(own) ? greyIndex_[greys_.Find(colour, own)] : all_.Find(colour, own);
    }

    // Whether entry k may be taken by a pixel kept to the colour-less entries or not.
    bool Allowed(std::size_t k, bool grey) const {
        return !grey || std::find(greyIndex_.begin(), greyIndex_.end(), k) != greyIndex_.end();
    }

    const std::vector<Linear>& Colours() const { return linear_; }

  private:
    static std::vector<Lab> Labs(const PaletteMatch& match, bool colourlessOnly) {
        std::vector<Lab> labs;
        for (std::size_t k = 0; k < match.colours.size(); ++k) {
            if (!colourlessOnly || (k < match.colourless.size() && match.colourless[k])) {
                const PaletteColour& c = match.colours[k];
                labs.push_back(SrgbToLab(c.red, c.green, c.blue));
            }
        }
        return labs;
    }

    NearestColour all_;
    NearestColour greys_{std::vector<Lab>{}};
    std::vector<std::size_t> greyIndex_;
    std::vector<Linear> linear_;
    int hueWeight_;
    bool greyRule_ = false;
};

void MapNearest(const std::uint8_t* rgb, std::size_t count, const Matcher& matcher,
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
            const Lab own = SrgbToLab(rgb[0], rgb[1], rgb[2]);
            cachedIndex[slot] = static_cast<std::uint8_t>(matcher.Find(own, own));
        }
        indices[i] = cachedIndex[slot];
    }
}

// The grey of a linear-light colour's luminance (Rec. 709 weights), in every channel.
void KeepLightnessOnly(std::int32_t (&residual)[3]) {
    const std::int64_t y = (std::int64_t{2126} * residual[0] + std::int64_t{7152} * residual[1] +
                            std::int64_t{722} * residual[2]) /
                           10000;
    residual[0] = residual[1] = residual[2] = static_cast<std::int32_t>(y);
}

template <std::size_t K>
void Diffuse(const std::uint8_t* rgb, int width, int height, const Matcher& matcher,
             const Diffusion (&kernel)[K], int shares, std::uint8_t* indices) {
    const std::vector<Linear>& linear = matcher.Colours();
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
            const Lab with = LinearToLab(wanted[0], wanted[1], wanted[2]);
            const Lab own = matcher.UsesOwnColour()
                                ? SrgbToLab(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2])
                                : with;
            const bool grey = matcher.KeepsGrey(own);
            const std::size_t k = matcher.Find(with, own);
            indices[i] = static_cast<std::uint8_t>(k);
            std::int32_t residual[3];
            for (int c = 0; c < 3; ++c) {
                residual[c] = wanted[c] - linear[k][c];
            }
            if (grey) {
                KeepLightnessOnly(residual);
            }
            for (int c = 0; c < 3; ++c) {
                for (const Diffusion& d : kernel) {
                    rows[d.dy][3 * (x + d.dx) + c] += residual[c] * d.weight / shares;
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
        total += IntegerSquareRoot(nearest / 3);
    }
    return total / static_cast<std::int64_t>(linear.size());
}

template <int N>
void Ordered(const std::uint8_t* rgb, int width, int height, const Matcher& matcher,
             std::uint8_t* indices) {
    const std::vector<Linear>& linear = matcher.Colours();
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
            const bool grey =
                matcher.UsesOwnColour() &&
                matcher.KeepsGrey(SrgbToLab(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
            std::size_t best = 0;
            std::int64_t bestDistance = INT64_MAX;
            for (std::size_t k = 0; k < linear.size(); ++k) {
                if (!matcher.Allowed(k, grey)) {
                    continue;
                }
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

bool MapToPalette(const std::uint8_t* rgb, int width, int height, const PaletteMatch& match,
                  Dither dither, std::uint8_t* indices) {
    if (match.colours.empty() || match.colours.size() > 256) {
        return false;
    }
    if (width < 1 || height < 1) {
        return true;
    }
    try {
        const Matcher matcher(match);
        const std::size_t count =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        switch (dither) {
        case Dither::None:
            MapNearest(rgb, count, matcher, indices);
            break;
        case Dither::FloydSteinberg:
            Diffuse(rgb, width, height, matcher, FLOYD_STEINBERG, FLOYD_STEINBERG_SHARES, indices);
            break;
        case Dither::Atkinson:
            Diffuse(rgb, width, height, matcher, ATKINSON, ATKINSON_SHARES, indices);
            break;
        case Dither::Bayer4:
            Ordered<4>(rgb, width, height, matcher, indices);
            break;
        case Dither::Bayer8:
            Ordered<8>(rgb, width, height, matcher, indices);
            break;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool MapToPalette(const std::uint8_t* rgb, int width, int height, const Palette& palette,
                  Dither dither, std::uint8_t* indices) {
    PaletteMatch match;
    match.colours = palette;
    return MapToPalette(rgb, width, height, match, dither, indices);
}
