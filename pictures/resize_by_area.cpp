// Area resampling in whole numbers: along an axis of n old and m new pixels, new pixel o
// covers [o n, (o + 1) n) and old pixel i covers [i m, (i + 1) m) in units of 1/m of an
// old pixel, so every weight is a whole overlap, the weights of a new pixel add up to n,
// and the mean of a new pixel is exact before it is rounded down.
#include "resize_by_area.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

namespace {

// The old pixels under each new pixel along one axis and the overlap of each.
struct AxisTaps {
    std::vector<int> first; // the first old pixel under new pixel o
    std::vector<int> start; // where new pixel o's overlaps begin in `overlap`
    std::vector<std::uint32_t> overlap;

    int Count(int o) const {
        return start[static_cast<std::size_t>(o) + 1] - start[static_cast<std::size_t>(o)];
    }
};

AxisTaps Taps(int oldSize, int newSize) {
    AxisTaps taps;
    taps.first.resize(static_cast<std::size_t>(newSize));
    taps.start.resize(static_cast<std::size_t>(newSize) + 1);
    const auto n = static_cast<std::int64_t>(oldSize);
    const auto m = static_cast<std::int64_t>(newSize);
    for (std::int64_t o = 0; o < m; ++o) {
        const std::int64_t from = o * n;
        const std::int64_t to = (o + 1) * n;
        taps.first[static_cast<std::size_t>(o)] = static_cast<int>(from / m);
        taps.start[static_cast<std::size_t>(o)] = static_cast<int>(taps.overlap.size());
        for (std::int64_t i = from / m; i * m < to; ++i) {
            const std::int64_t overlap = std::min(to, (i + 1) * m) - std::max(from, i * m);
            taps.overlap.push_back(static_cast<std::uint32_t>(overlap));
        }
    }
    taps.start[static_cast<std::size_t>(m)] = static_cast<int>(taps.overlap.size());
    return taps;
}

// One old row resampled along x: for every new column and channel the sum of the old
// values times their overlaps (at most 255 * old width).
void SumRow(const std::uint8_t* row, const AxisTaps& across, int outWidth, int channels,
            std::uint32_t* sums) {
    for (int o = 0; o < outWidth; ++o) {
        const std::uint8_t* from =
            row + static_cast<std::size_t>(across.first[static_cast<std::size_t>(o)]) * channels;
        const std::uint32_t* overlap =
            &across.overlap[static_cast<std::size_t>(across.start[static_cast<std::size_t>(o)])];
        const int count = across.Count(o);
        for (int c = 0; c < channels; ++c) {
            std::uint32_t sum = 0;
            for (int k = 0; k < count; ++k) {
                sum += from[static_cast<std::size_t>(k) * channels + c] * overlap[k];
            }
            sums[static_cast<std::size_t>(o) * channels + c] = sum;
        }
    }
}

} // namespace

bool ResizeByArea(const std::uint8_t* in, int width, int height, std::uint8_t* out, int outWidth,
                  int outHeight, int channels) {
    try {
        const AxisTaps across = Taps(width, outWidth);
        const AxisTaps down = Taps(height, outHeight);
        const std::size_t rowValues = static_cast<std::size_t>(outWidth) * channels;
        const std::size_t inRowBytes = static_cast<std::size_t>(width) * channels;
        // The resampled old rows a new row needs come in order and are kept while the
        // next new row may need them again.
        std::vector<std::uint32_t> sums[2] = {std::vector<std::uint32_t>(rowValues),
                                              std::vector<std::uint32_t>(rowValues)};
        int summed[2] = {-1, -1};
        std::vector<std::uint64_t> total(rowValues);
        const std::uint64_t area = static_cast<std::uint64_t>(width) * height;
        for (int oy = 0; oy < outHeight; ++oy) {
            std::fill(total.begin(), total.end(), 0);
            const int first = down.first[static_cast<std::size_t>(oy)];
            const std::uint32_t* overlap =
                &down.overlap[static_cast<std::size_t>(down.start[static_cast<std::size_t>(oy)])];
            for (int k = 0; k < down.Count(oy); ++k) {
                const int y = first + k;
                std::size_t slot = summed[0] == y ? 0 : summed[1] == y ? 1 : 2;
                if (slot == 2) {
                    slot = summed[0] < summed[1] ? 0 : 1; // the older row makes room
                    SumRow(in + static_cast<std::size_t>(y) * inRowBytes, across, outWidth,
                           channels, sums[slot].data());
                    summed[slot] = y;
                }
                const std::uint32_t* row = sums[slot].data();
                for (std::size_t v = 0; v < rowValues; ++v) {
                    total[v] += static_cast<std::uint64_t>(row[v]) * overlap[k];
                }
            }
            std::uint8_t* target = out + static_cast<std::size_t>(oy) * rowValues;
            for (std::size_t v = 0; v < rowValues; ++v) {
                target[v] = static_cast<std::uint8_t>(total[v] / area);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
