// Resampling in linear light with stb_image_resize's filters, compiled once for the engine
// in this translation unit (nothing else of stb is). stb computes the filters: which old
// pixels each new one takes and with what weight. The pixels are resampled here with the
// same float operations in the same order as stb's own loops, so the bytes are stb's, but
// each old row is brought into linear light once and each new pixel gathers its taps from
// a table laid out once per axis, where stb scatters every old pixel over a ring of rows.
#include "resize_linear_light.h"

#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

namespace {

// The taps of every new pixel along one axis, in the order stb adds them: the old pixel
// (edges clamped, as stb's decoding repeats the edge pixels into its margins) and its
// weight.
struct AxisTaps {
    std::vector<int> start; // where new pixel o's taps begin; start[newSize] is the end
    std::vector<int> from;
    std::vector<float> weight;
    int mostTaps = 0;
};

// stb's filters for one axis, the way stbir__resize_allocated computes them with its
// defaults (scale as stbir__calculate_transform gives it, no shift, Catmull-Rom when
// enlarging and Mitchell when reducing), turned from stb's layout into taps per new pixel.
// Reducing, stb keeps per old pixel (and margin pixel) the new pixels it adds to, in the
// order of the old pixels; enlarging, per new pixel the old ones.
AxisTaps Taps(int oldSize, int newSize) {
    const float scale = (static_cast<float>(newSize) / static_cast<float>(oldSize)) / 1.0f;
    const bool enlarging = stbir__use_upsampling(scale);
    const auto filter = static_cast<stbir_filter>(enlarging ? STBIR_DEFAULT_FILTER_UPSAMPLE
                                                            : STBIR_DEFAULT_FILTER_DOWNSAMPLE);
    const int contributorCount = stbir__get_contributors(scale, filter, oldSize, newSize);
    const int width = stbir__get_coefficient_width(filter, scale);
    const int margin = stbir__get_filter_pixel_margin(filter, scale);
    std::vector<stbir__contributors> contributors(static_cast<std::size_t>(contributorCount));
    std::vector<float> coefficients(static_cast<std::size_t>(contributorCount) *
                                    static_cast<std::size_t>(width));
    stbir__calculate_filters(contributors.data(), coefficients.data(), filter, scale, 0.0f, oldSize,
                             newSize);

    const auto clampOld = [oldSize](int i) { return std::clamp(i, 0, oldSize - 1); };
    AxisTaps taps;
    taps.start.assign(static_cast<std::size_t>(newSize) + 1, 0);
    if (enlarging) {
        for (int o = 0; o < newSize; ++o) {
            const stbir__contributors& c = contributors[static_cast<std::size_t>(o)];
            taps.start[static_cast<std::size_t>(o)] = static_cast<int>(taps.from.size());
            for (int k = c.n0; k <= c.n1; ++k) {
                taps.from.push_back(clampOld(k));
                taps.weight.push_back(
                    coefficients[static_cast<std::size_t>(o) * width + (k - c.n0)]);
            }
        }
    } else {
        // Count the taps of every new pixel, then lay them out in the old pixels' order.
        std::vector<int> count(static_cast<std::size_t>(newSize), 0);
        for (const stbir__contributors& c : contributors) {
            for (int o = c.n0; o <= c.n1; ++o) {
                ++count[static_cast<std::size_t>(o)];
            }
        }
        int total = 0;
        for (int o = 0; o < newSize; ++o) {
            taps.start[static_cast<std::size_t>(o)] = total;
            total += count[static_cast<std::size_t>(o)];
        }
        taps.from.resize(static_cast<std::size_t>(total));
        taps.weight.resize(static_cast<std::size_t>(total));
        std::vector<int> next(taps.start.begin(), taps.start.end() - 1);
        for (int j = 0; j < contributorCount; ++j) {
            const stbir__contributors& c = contributors[static_cast<std::size_t>(j)];
            for (int o = c.n0; o <= c.n1; ++o) {
                const auto at = static_cast<std::size_t>(next[static_cast<std::size_t>(o)]++);
                taps.from[at] = clampOld(j - margin);
                taps.weight[at] = coefficients[static_cast<std::size_t>(j) * width + (o - c.n0)];
            }
        }
    }
    taps.start[static_cast<std::size_t>(newSize)] = static_cast<int>(taps.from.size());
    for (int o = 0; o < newSize; ++o) {
        taps.mostTaps = std::max(taps.mostTaps, taps.start[static_cast<std::size_t>(o) + 1] -
                                                    taps.start[static_cast<std::size_t>(o)]);
    }
    return taps;
}

// One old row, already in linear light, resampled along x: for every new column and
// channel the weighted sum of its taps, added up from 0 in stb's order. The channels of a
// pixel are summed side by side (each channel's sum in the same order as alone), so a tap's
// place and weight are read once for all of them.
template <int CHANNELS>
void ResampleRow(const float* linear, const AxisTaps& across, int outWidth, float* out) {
    const int* from = across.from.data();
    const float* weight = across.weight.data();
    for (int o = 0; o < outWidth; ++o) {
        float sum[CHANNELS] = {};
        for (int t = across.start[static_cast<std::size_t>(o)];
             t < across.start[static_cast<std::size_t>(o) + 1]; ++t) {
            const float* pixel = linear + static_cast<std::ptrdiff_t>(from[t]) * CHANNELS;
            for (int c = 0; c < CHANNELS; ++c) {
                sum[c] += pixel[c] * weight[t];
            }
        }
        for (int c = 0; c < CHANNELS; ++c) {
            out[static_cast<std::size_t>(o) * CHANNELS + c] = sum[c];
        }
    }
}

bool ResampleRow(const float* linear, const AxisTaps& across, int outWidth, int channels,
                 float* out) {
    switch (channels) {
    case 1:
        ResampleRow<1>(linear, across, outWidth, out);
        return true;
    case 3:
        ResampleRow<3>(linear, across, outWidth, out);
        return true;
    case 4:
        ResampleRow<4>(linear, across, outWidth, out);
        return true;
    default:
        return false;
    }
}

} // namespace

bool ResizeLinearLight(const std::uint8_t* in, int width, int height, std::uint8_t* out,
                       int outWidth, int outHeight, int channels) {
    try {
        const AxisTaps across = Taps(width, outWidth);
        const AxisTaps down = Taps(height, outHeight);
        const std::size_t rowValues = static_cast<std::size_t>(outWidth) * channels;
        const std::size_t inRowBytes = static_cast<std::size_t>(width) * channels;
        // The old rows resampled along x, kept in a ring: a new row's taps lie within
        // mostTaps rows, and the new rows take them in rising order.
        const auto ringSize = static_cast<std::size_t>(down.mostTaps) + 1;
        std::vector<float> ring(ringSize * rowValues);
        std::vector<int> ringRow(ringSize, -1);
        std::vector<float> sum(rowValues);
        std::vector<float> linear(inRowBytes);
        for (int o = 0; o < outHeight; ++o) {
            std::fill(sum.begin(), sum.end(), 0.0f);
            for (int t = down.start[static_cast<std::size_t>(o)];
                 t < down.start[static_cast<std::size_t>(o) + 1]; ++t) {
                const int row = down.from[static_cast<std::size_t>(t)];
                const std::size_t slot = static_cast<std::size_t>(row) % ringSize;
                float* resampled = &ring[slot * rowValues];
                if (ringRow[slot] != row) {
                    const std::uint8_t* bytes = in + static_cast<std::size_t>(row) * inRowBytes;
                    for (std::size_t i = 0; i < inRowBytes; ++i) {
                        linear[i] = stbir__srgb_uchar_to_linear_float[bytes[i]];
                    }
                    if (!ResampleRow(linear.data(), across, outWidth, channels, resampled)) {
                        return false;
                    }
                    ringRow[slot] = row;
                }
                const float weight = down.weight[static_cast<std::size_t>(t)];
                for (std::size_t v = 0; v < rowValues; ++v) {
                    sum[v] += resampled[v] * weight;
                }
            }
            std::uint8_t* target = out + static_cast<std::size_t>(o) * rowValues;
            for (std::size_t v = 0; v < rowValues; ++v) {
                target[v] = stbir__linear_to_srgb_uchar(sum[v]);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
