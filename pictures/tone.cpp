// Tone: rotation, mirroring, resizing (in linear light), inversion, Otsu's
// threshold, and quantisation by threshold, error diffusion or Bayer matrices.
#include "tone.h"

#include "checked_size.h"
#include "colour_to_grey.h"
#include "dither_kernels.h"
#include "resize_by_area.h"
#include "resize_linear_light.h"
#include "target_levels.h"
#include "tone_depths.h"

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

// Resamples to the options' size and places the result, centred, on the background; the
// picture's own part of the result goes to `area`. Depth 1 averages the coded greys by
// area, every other depth light.
bool Resize(SourceImage& image, const ToneOptions& options, int depth, PictureArea& area) {
    int scaledWidth = 0;
    int scaledHeight = 0;
    ScaledSize(image.width, image.height, options, scaledWidth, scaledHeight);
    const int W = options.resizeWidth;
    const int H = options.resizeHeight;
    // Centred: a positive offset is a margin (contain), a negative one is cut (cover).
    const int offsetX = (W - scaledWidth) / 2;
    const int offsetY = (H - scaledHeight) / 2;
    const int firstX = std::max(offsetX, 0);
    const int firstY = std::max(offsetY, 0);
    const int endX = std::min(offsetX + scaledWidth, W);
    const int endY = std::min(offsetY + scaledHeight, H);
    const bool resized = EachRaster(image, [&](std::vector<std::uint8_t>& raster, int channels) {
        // A picture that keeps its size is only placed, not resampled (which would blur it).
        std::vector<std::uint8_t> scaled;
        if (scaledWidth == image.width && scaledHeight == image.height) {
            scaled = std::move(raster);
        } else if (!Allocate(scaled, scaledWidth * channels, scaledHeight) ||
                   !(depth == 1
                         ? ResizeByArea(raster.data(), image.width, image.height, scaled.data(),
                                        scaledWidth, scaledHeight, channels)
                         : ResizeLinearLight(raster.data(), image.width, image.height,
                                             scaled.data(), scaledWidth, scaledHeight, channels))) {
            return false;
        }
        std::vector<std::uint8_t> out;
        if (!Allocate(out, W * channels, H)) {
            return false;
        }
        std::fill(out.begin(), out.end(), options.background);
        const auto rowBytes = static_cast<std::size_t>(endX - firstX) * channels;
        for (int y = firstY; y < endY; ++y) {
            const auto from = (static_cast<std::size_t>(y - offsetY) * scaledWidth +
                               static_cast<std::size_t>(firstX - offsetX)) *
                              channels;
            const auto to =
                (static_cast<std::size_t>(y) * W + static_cast<std::size_t>(firstX)) * channels;
            std::copy_n(scaled.begin() + static_cast<std::ptrdiff_t>(from), rowBytes,
                        out.begin() + static_cast<std::ptrdiff_t>(to));
        }
        raster = std::move(out);
        return true;
    });
    if (!resized) {
        return false;
    }
    image.width = W;
    image.height = H;
    area = {firstX, firstY, endX - firstX, endY - firstY};
    return true;
}

// The level nearest to `wanted`, a value counted in 1/shares of a grey step that the
// errors carried may have taken outside 0 .. 255: level L is taken from the midpoint
// between the bounds of L - 1 and L on.
int NearestLevel(const TargetLevels& levels, int wanted, int shares) {
    const long long doubled = 2LL * wanted * levels.scale;
    const auto midpoint = [&](int level) {
        return static_cast<long long>(levels.bounds[static_cast<std::size_t>(level - 1)] +
                                      levels.bounds[static_cast<std::size_t>(level)]) *
               shares;
    };
    // Evenly spaced levels give the level straight away, shown greys one or two off.
    int level = Clamp(wanted / shares * levels.maxLevel / 255, 0, levels.maxLevel);
    while (level < levels.maxLevel && doubled >= midpoint(level + 1)) {
        ++level;
    }
    while (level > 0 && doubled < midpoint(level)) {
        --level;
    }
    return level;
}

// Error diffusion in plain row order: each row left to right, rows top to bottom. Greys
// and errors are counted in 1/shares of a grey step; the error handed on is what the
// stored value misses of the wanted one.
template <std::size_t K>
void DiffuseErrors(std::uint8_t* pixels, int width, int height, const TargetLevels& levels,
                   int shift, const Diffusion (&kernel)[K], int shares) {
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
            const auto level = static_cast<std::size_t>(NearestLevel(levels, wanted, shares));
            pixel = levels.stored[level];
            const int residual = wanted - pixel * shares;
            for (const Diffusion& d : kernel) {
                rows[d.dy][x + d.dx] += residual * d.weight / shares;
            }
        }
        std::fill(rows[0] - 2, rows[0] - 2 + rowLength, 0);
    }
}

// For every grey (before the shift), what ordered dithering stores: the level at or below
// it, the one above, and the first Bayer cell value from which the one above is taken.
struct OrderedChoice {
    std::array<std::uint8_t, 256> below{};
    std::array<std::uint8_t, 256> above{};
    std::array<int, 256> firstCellAbove{};
};

// A grey g between the places of levels L and L + 1 takes L + 1 in the cells whose value m
// has (g - place(L)) / (place(L + 1) - place(L)) + (m + 0.5) / cells >= 1, so that the
// cells of a matrix show g on average.
OrderedChoice ChooseOrdered(const TargetLevels& levels, int shift, int cells) {
    OrderedChoice choice;
    for (int value = 0; value < 256; ++value) {
        const int at = Clamp(value + shift, 0, 255) * levels.scale;
        int level = 0;
        while (level < levels.maxLevel &&
               levels.bounds[static_cast<std::size_t>(level + 1)] <= at) {
            ++level;
        }
        const auto v = static_cast<std::size_t>(value);
        choice.below[v] = levels.stored[static_cast<std::size_t>(level)];
        if (level == levels.maxLevel) {
            choice.above[v] = choice.below[v];
            choice.firstCellAbove[v] = cells;
            continue;
        }
        choice.above[v] = levels.stored[static_cast<std::size_t>(level + 1)];
        const long long span = levels.bounds[static_cast<std::size_t>(level + 1)] -
                               levels.bounds[static_cast<std::size_t>(level)];
        const long long into = at - levels.bounds[static_cast<std::size_t>(level)];
        // m >= (span (2 cells - 1) - 2 cells into) / (2 span), rounded up.
        const long long numerator = span * (2 * cells - 1) - 2LL * cells * into;
        choice.firstCellAbove[v] =
            numerator <= 0 ? 0 : static_cast<int>((numerator + 2 * span - 1) / (2 * span));
    }
    return choice;
}

template <int N>
void OrderedDither(std::uint8_t* pixels, int width, int height, const TargetLevels& levels,
                   int shift) {
    static const std::array<int, N* N> matrix = BayerMatrix<N>();
    const OrderedChoice choice = ChooseOrdered(levels, shift, N * N);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
        const int* cells = &matrix[static_cast<std::size_t>(y % N) * N];
        for (int x = 0; x < width; ++x) {
            const std::uint8_t value = row[x];
            row[x] = cells[x % N] >= choice.firstCellAbove[value] ? choice.above[value]
                                                                  : choice.below[value];
        }
    }
}

} // namespace

bool ChangesGreyLevels(const ToneOptions& options) {
    return options.resizeWidth > 0 || options.invert || options.autoThreshold ||
           options.threshold != DEFAULT_THRESHOLD || options.dither != Dither::None;
}

bool ShapePicture(SourceImage& image, const ToneOptions& options) {
    return ShapePicture(image, options, 0, nullptr);
}

bool ShapePicture(SourceImage& image, const ToneOptions& options, int depth, PictureArea* area) {
    if (options.source == ToneSource::Luminance || ChangesGreyLevels(options)) {
        IndicesToLuminance(image);
    }
    PictureArea placed{0, 0, image.width, image.height};
    if (area != nullptr) {
        *area = placed;
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
    placed = {0, 0, image.width, image.height}; // a quarter turn swaps the sides
    if (options.resizeWidth > 0 && options.resizeHeight > 0 &&
        !Resize(image, options, depth, placed)) {
        return false;
    }
    if (area != nullptr) {
        *area = placed;
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

namespace {

// Otsu's threshold of the greys counted in a histogram.
int OtsuOfHistogram(const std::array<std::uint64_t, 256>& histogram) {
    double total = 0;
    double n = 0;
    for (int v = 0; v < 256; ++v) {
        total += static_cast<double>(v) * static_cast<double>(histogram[v]);
        n += static_cast<double>(histogram[v]);
    }
    double below = 0;    // pixels below the candidate
    double belowSum = 0; // their grey sum
    double best = -1;
    int threshold = DEFAULT_THRESHOLD;
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

} // namespace

int OtsuThreshold(const std::uint8_t* pixels, std::size_t count) {
    std::array<std::uint64_t, 256> histogram{};
    for (std::size_t i = 0; i < count; ++i) {
        ++histogram[pixels[i]];
    }
    return OtsuOfHistogram(histogram);
}

int OtsuThreshold(const SourceImage& image, const PictureArea& area) {
    std::array<std::uint64_t, 256> histogram{};
    const int endX = std::min(area.x + area.width, image.width);
    const int endY = std::min(area.y + area.height, image.height);
    for (int y = std::max(area.y, 0); y < endY; ++y) {
        const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = std::max(area.x, 0); x < endX; ++x) {
            ++histogram[row[x]];
        }
    }
    return OtsuOfHistogram(histogram);
}

namespace {

// Brings every value, moved by shift first, to one of the levels by the dithering
// method.
void DitherToLevels(std::uint8_t* pixels, int width, int height, const TargetLevels& levels,
                    int shift, Dither dither) {
    switch (dither) {
    case Dither::None:
        break;
    case Dither::FloydSteinberg:
        DiffuseErrors(pixels, width, height, levels, shift, FLOYD_STEINBERG,
                      FLOYD_STEINBERG_SHARES);
        break;
    case Dither::Atkinson:
        DiffuseErrors(pixels, width, height, levels, shift, ATKINSON, ATKINSON_SHARES);
        break;
    case Dither::Bayer4:
        OrderedDither<4>(pixels, width, height, levels, shift);
        break;
    case Dither::Bayer8:
        OrderedDither<8>(pixels, width, height, levels, shift);
        break;
    }
}

// Without dithering the packer takes each grey's top bits: a shown grey gives back its own
// level, and a picture of exact levels k x 255 / (2^depth - 1) keeps them (170 at depth 4
// is level 10, though it lies nearer 176, the grey level 11 is shown with).
// Depth 1 only moves the greys by shift, so that the packer's "light from 128" means
// "light from the threshold".
void MoveByThreshold(std::uint8_t* pixels, std::size_t count, int shift) {
    if (shift == 0) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        pixels[i] = static_cast<std::uint8_t>(Clamp(pixels[i] + shift, 0, 255));
    }
}

} // namespace

void QuantisePicture(std::uint8_t* pixels, int width, int height, int depth, int threshold,
                     Dither dither) {
    if (depth < 1 || depth > 8 || width < 1 || height < 1) {
        return;
    }
    const int shift =
        ThresholdActsAt(static_cast<unsigned>(depth)) ? DEFAULT_THRESHOLD - threshold : 0;
    if (dither == Dither::None || !DitherActsAt(static_cast<unsigned>(depth), false)) {
        MoveByThreshold(pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        shift);
        return;
    }
    DitherToLevels(pixels, width, height, ShownGreyLevels(depth), shift, dither);
}

bool QuantiseColours(std::uint8_t* rgb, int width, int height, int depth, Dither dither) {
    if (!IsColourDepth(static_cast<unsigned>(depth)) ||
        !DitherActsAt(static_cast<unsigned>(depth), false) || dither == Dither::None || width < 1 ||
        height < 1) {
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
        DitherToLevels(channel.data(), width, height, EvenLevels((1 << BITS[c]) - 1), 0, dither);
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
    for (const DitherMethod& method : DITHER_METHODS) {
        if (text == method.word) {
            dither = method.dither;
            return true;
        }
    }
    return false;
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
    return DitherMethodOf(dither).word;
}

const char* FitName(Fit fit) {
    return NameOf(FIT_NAMES, static_cast<int>(fit));
}
