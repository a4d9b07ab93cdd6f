// Tone: rotation, mirroring, resizing (in linear light), inversion, Otsu's
// threshold, and quantisation by threshold, error diffusion or Bayer matrices.
#include "tone.h"

#include "checked_size.h"
#include "colour_to_grey.h"
#include "dither_kernels.h"
#include "resize_linear_light.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace {

int Clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

bool Allocate(std::vector<std::uint8_t>& pixels, int width, int height) {
    std::size_t count = 0;
    if (!CheckedMultiply(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                         count)) {
        return false;
    }
    try {
        pixels.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Reverses the order of count pixels of `channels` bytes each, keeping every pixel's
// bytes in their order.
void ReversePixels(std::uint8_t* first, std::size_t count, int channels) {
    std::reverse(first, first + count * static_cast<std::size_t>(channels));
    if (channels > 1) {
        for (std::size_t i = 0; i < count; ++i, first += channels) {
            std::reverse(first, first + channels);
        }
    }
}

// Copies pixel (fromX, fromY) of a raster fromWidth pixels wide to pixel (toX, toY) of
// one toWidth pixels wide, both of `channels` bytes a pixel.
void CopyPixel(const std::vector<std::uint8_t>& from, int fromWidth, int fromX, int fromY,
               std::vector<std::uint8_t>& to, int toWidth, int toX, int toY, int channels) {
    const auto source = (static_cast<std::size_t>(fromY) * fromWidth + fromX) * channels;
    const auto target = (static_cast<std::size_t>(toY) * toWidth + toX) * channels;
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(source), channels,
                to.begin() + static_cast<std::ptrdiff_t>(target));
}

// Calls step(raster, channels) for the grey levels and, when the picture has them, its
// colours: every shaping step moves both alike. False when a step fails.
template <typename Step> bool EachRaster(SourceImage& image, Step step) {
    return step(image.pixels, 1) && (image.rgb.empty() || step(image.rgb, 3));
}

// Clockwise by quarter turns; 90 and 270 swap the sides.
bool Rotate(SourceImage& image, int degrees) {
    const int w = image.width;
    const int h = image.height;
    const bool rotated = EachRaster(image, [&](std::vector<std::uint8_t>& raster, int channels) {
        if (degrees == 180) {
            ReversePixels(raster.data(), raster.size() / static_cast<std::size_t>(channels),
                          channels);
            return true;
        }
        std::vector<std::uint8_t> out;
        if (!Allocate(out, h, w * channels)) {
            return false;
        }
        // Output (x, y) of the h x w result: 90 takes source (y, h - 1 - x), 270 takes
        // source (w - 1 - y, x).
        for (int y = 0; y < w; ++y) {
            for (int x = 0; x < h; ++x) {
                const int sx = degrees == 90 ? y : w - 1 - y;
                const int sy = degrees == 90 ? h - 1 - x : x;
                CopyPixel(raster, w, sx, sy, out, h, x, y, channels);
            }
        }
        raster = std::move(out);
        return true;
    });
    if (rotated && degrees != 180) {
        std::swap(image.width, image.height);
    }
    return rotated;
}

void MirrorX(SourceImage& image) {
    EachRaster(image, [&image](std::vector<std::uint8_t>& raster, int channels) {
        const auto rowBytes = static_cast<std::size_t>(image.width) * channels;
        for (int y = 0; y < image.height; ++y) {
            ReversePixels(raster.data() + y * rowBytes, static_cast<std::size_t>(image.width),
                          channels);
        }
        return true;
    });
}

// The size of the resampled picture before it is placed in the target: the whole
// picture inside it (contain), covering it (cover), or the target itself (stretch).
void ScaledSize(int width, int height, const ToneOptions& options, int& outWidth, int& outHeight) {
    const int W = options.resizeWidth;
    const int H = options.resizeHeight;
    outWidth = W;
    outHeight = H;
    if (options.fit == Fit::Stretch) {
        return;
    }
    // Height-bound when the picture is relatively taller than the target.
    const bool tallerThanTarget = std::int64_t{width} * H <= std::int64_t{height} * W;
    const bool heightBound = options.fit == Fit::Contain ? tallerThanTarget : !tallerThanTarget;
    if (heightBound) {
        outWidth = static_cast<int>((std::int64_t{width} * H * 2 + height) / (2 * height));
    } else {
        outHeight = static_cast<int>((std::int64_t{height} * W * 2 + width) / (2 * width));
    }
    outWidth = std::max(outWidth, 1);
    outHeight = std::max(outHeight, 1);
}

bool Resize(SourceImage& image, const ToneOptions& options) {
    int scaledWidth = 0;
    int scaledHeight = 0;
    ScaledSize(image.width, image.height, options, scaledWidth, scaledHeight);
    const int W = options.resizeWidth;
    const int H = options.resizeHeight;
    const bool resized = EachRaster(image, [&](std::vector<std::uint8_t>& raster, int channels) {
        // A picture that keeps its size is only placed, not resampled (which would blur it).
        std::vector<std::uint8_t> scaled;
        if (scaledWidth == image.width && scaledHeight == image.height) {
            scaled = std::move(raster);
        } else if (!Allocate(scaled, scaledWidth * channels, scaledHeight) ||
                   !ResizeLinearLight(raster.data(), image.width, image.height, scaled.data(),
                                      scaledWidth, scaledHeight, channels)) {
            return false;
        }
        std::vector<std::uint8_t> out;
        if (!Allocate(out, W * channels, H)) {
            return false;
        }
        std::fill(out.begin(), out.end(), options.background);
        // Centred: a positive offset is a margin (contain), a negative one is cut (cover).
        const int offsetX = (W - scaledWidth) / 2;
        const int offsetY = (H - scaledHeight) / 2;
        for (int y = 0; y < H; ++y) {
            const int sy = y - offsetY;
            if (sy < 0 || sy >= scaledHeight) {
                continue;
            }
            for (int x = 0; x < W; ++x) {
                const int sx = x - offsetX;
                if (sx >= 0 && sx < scaledWidth) {
                    CopyPixel(scaled, scaledWidth, sx, sy, out, W, x, y, channels);
                }
            }
        }
        raster = std::move(out);
        return true;
    });
    if (!resized) {
        return false;
    }
    image.width = W;
    image.height = H;
    return true;
}

// Error diffusion in plain row order: each row left to right, rows top to bottom. Greys
// and errors are counted in 1/shares of a grey step.
template <std::size_t K>
void DiffuseErrors(std::uint8_t* pixels, int width, int height, int maxLevel, int shift,
                   const Diffusion (&kernel)[K], int shares) {
    // The current row and the two below it, each with two cells of margin on both sides.
    const auto rowLength = static_cast<std::size_t>(width) + 4;
    std::vector<int> errors(3 * rowLength, 0);
    for (int y = 0; y < height; ++y) {
        int* rows[3];
        for (int r = 0; r < 3; ++r) {
            rows[r] = &errors[static_cast<std::size_t>((y + r) % 3) * rowLength + 2];
        }
        for (int x = 0; x < width; ++x) {
            std::uint8_t& pixel = pixels[static_cast<std::size_t>(y) * width + x];
            const int wanted = (pixel + shift) * shares + rows[0][x];
            // The nearest level: round(wanted * maxLevel / (255 shares)).
            const int level = wanted <= 0
                                  ? 0
                                  : std::min(maxLevel, (2 * wanted * maxLevel + 255 * shares) /
                                                           (2 * 255 * shares));
            const int stored = level * 255 / maxLevel;
            pixel = static_cast<std::uint8_t>(stored);
            const int residual = wanted - stored * shares;
            for (const Diffusion& d : kernel) {
                rows[d.dy][x + d.dx] += residual * d.weight / shares;
            }
        }
        std::fill(rows[0] - 2, rows[0] - 2 + rowLength, 0);
    }
}

template <int N>
void OrderedDither(std::uint8_t* pixels, int width, int height, int maxLevel, int shift) {
    static const std::array<int, N* N> matrix = BayerMatrix<N>();
    constexpr int cells = N * N;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t& pixel = pixels[static_cast<std::size_t>(y) * width + x];
            const int grey = Clamp(pixel + shift, 0, 255);
            const int m = matrix[static_cast<std::size_t>(y % N) * N + x % N];
            // level = floor(grey * maxLevel / 255 + (m + 0.5) / cells)
            const int level = (grey * maxLevel * 2 * cells + 255 * (2 * m + 1)) / (255 * 2 * cells);
            pixel = static_cast<std::uint8_t>(Clamp(level, 0, maxLevel) * 255 / maxLevel);
        }
    }
}

} // namespace

bool ChangesGreyLevels(const ToneOptions& options) {
    return options.resizeWidth > 0 || options.invert || options.autoThreshold ||
           options.threshold != DEFAULT_THRESHOLD || options.dither != Dither::None;
}

bool ShapePicture(SourceImage& image, const ToneOptions& options) {
    if (options.source == ToneSource::Luminance || ChangesGreyLevels(options)) {
        IndicesToLuminance(image);
    }
    if (image.pixels.empty()) {
        return true;
    }
    if (options.rotate == 90 || options.rotate == 180 || options.rotate == 270) {
        if (!Rotate(image, options.rotate)) {
            return false;
        }
    }
    if (options.mirrorX) {
        MirrorX(image);
    }
    if (options.mirrorY) {
        EachRaster(image, [&image](std::vector<std::uint8_t>& raster, int channels) {
            ReverseRows(raster.data(), static_cast<std::size_t>(image.width) * channels,
                        static_cast<std::size_t>(image.height));
            return true;
        });
    }
    if (options.resizeWidth > 0 && options.resizeHeight > 0 && !Resize(image, options)) {
        return false;
    }
    if (options.invert) {
        EachRaster(image, [](std::vector<std::uint8_t>& raster, int) {
            for (std::uint8_t& sample : raster) {
                sample = static_cast<std::uint8_t>(255 - sample);
            }
            return true;
        });
    }
    return true;
}

int OtsuThreshold(const std::uint8_t* pixels, std::size_t count) {
    std::array<std::uint64_t, 256> histogram{};
    for (std::size_t i = 0; i < count; ++i) {
        ++histogram[pixels[i]];
    }
    double total = 0;
    for (int v = 0; v < 256; ++v) {
        total += static_cast<double>(v) * static_cast<double>(histogram[v]);
    }
    double below = 0;    // pixels below the candidate
    double belowSum = 0; // their grey sum
    double best = -1;
    int threshold = DEFAULT_THRESHOLD;
    const auto n = static_cast<double>(count);
    for (int t = 1; t < 256; ++t) {
        below += static_cast<double>(histogram[t - 1]);
        belowSum += static_cast<double>(t - 1) * static_cast<double>(histogram[t - 1]);
        const double above = n - below;
        if (below == 0 || above == 0) {
            continue;
        }
        const double meanBelow = belowSum / below;
        const double meanAbove = (total - belowSum) / above;
        const double variance = below * above * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (variance > best) {
            best = variance;
            threshold = t;
        }
    }
    return threshold;
}

namespace {

// Brings every value to one of maxLevel + 1 levels (each stored as level * 255 /
// maxLevel), moved by shift first, by the dithering method; without dithering only the
// shift is applied.
void QuantiseLevels(std::uint8_t* pixels, int width, int height, int maxLevel, int shift,
                    Dither dither) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    switch (dither) {
    case Dither::None:
        if (shift != 0) {
            for (std::size_t i = 0; i < count; ++i) {
                pixels[i] = static_cast<std::uint8_t>(Clamp(pixels[i] + shift, 0, 255));
            }
        }
        break;
    case Dither::FloydSteinberg:
        DiffuseErrors(pixels, width, height, maxLevel, shift, FLOYD_STEINBERG,
                      FLOYD_STEINBERG_SHARES);
        break;
    case Dither::Atkinson:
        DiffuseErrors(pixels, width, height, maxLevel, shift, ATKINSON, ATKINSON_SHARES);
        break;
    case Dither::Bayer4:
        OrderedDither<4>(pixels, width, height, maxLevel, shift);
        break;
    case Dither::Bayer8:
        OrderedDither<8>(pixels, width, height, maxLevel, shift);
        break;
    }
}

} // namespace

void QuantisePicture(std::uint8_t* pixels, int width, int height, int depth, int threshold,
                     Dither dither) {
    if (depth < 1 || depth > 8 || width < 1 || height < 1) {
        return;
    }
    const int shift = depth == 1 ? DEFAULT_THRESHOLD - threshold : 0;
    QuantiseLevels(pixels, width, height, (1 << depth) - 1, shift, dither);
}

bool QuantiseColours(std::uint8_t* rgb, int width, int height, int depth, Dither dither) {
    if (depth != 16 || dither == Dither::None || width < 1 || height < 1) {
        return true;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> channel;
    try {
        channel.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    constexpr int BITS[3] = {5, 6, 5}; // red, green, blue of RGB565
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t i = 0; i < count; ++i) {
            channel[i] = rgb[3 * i + c];
        }
        QuantiseLevels(channel.data(), width, height, (1 << BITS[c]) - 1, 0, dither);
        for (std::size_t i = 0; i < count; ++i) {
            rgb[3 * i + c] = channel[i];
        }
    }
    return true;
}

namespace {

struct Named {
    const char* name;
    int value;
};

constexpr Named DITHER_NAMES[] = {{"none", static_cast<int>(Dither::None)},
                                  {"floyd-steinberg", static_cast<int>(Dither::FloydSteinberg)},
                                  {"atkinson", static_cast<int>(Dither::Atkinson)},
                                  {"bayer4", static_cast<int>(Dither::Bayer4)},
                                  {"bayer8", static_cast<int>(Dither::Bayer8)}};
constexpr Named FIT_NAMES[] = {{"contain", static_cast<int>(Fit::Contain)},
                               {"cover", static_cast<int>(Fit::Cover)},
                               {"stretch", static_cast<int>(Fit::Stretch)}};

template <std::size_t K>
bool FindName(const Named (&names)[K], const std::string& text, int& value) {
    for (const Named& n : names) {
        if (text == n.name) {
            value = n.value;
            return true;
        }
    }
    return false;
}

template <std::size_t K> const char* NameOf(const Named (&names)[K], int value) {
    for (const Named& n : names) {
        if (n.value == value) {
            return n.name;
        }
    }
    return names[0].name;
}

} // namespace

bool ParseDither(const std::string& text, Dither& dither) {
    int value = 0;
    if (!FindName(DITHER_NAMES, text, value)) {
        return false;
    }
    dither = static_cast<Dither>(value);
    return true;
}

bool ParseFit(const std::string& text, Fit& fit) {
    int value = 0;
    if (!FindName(FIT_NAMES, text, value)) {
        return false;
    }
    fit = static_cast<Fit>(value);
    return true;
}

const char* DitherName(Dither dither) {
    return NameOf(DITHER_NAMES, static_cast<int>(dither));
}

const char* FitName(Fit fit) {
    return NameOf(FIT_NAMES, static_cast<int>(fit));
}
