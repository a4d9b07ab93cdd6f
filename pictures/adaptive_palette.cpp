// Choosing a palette for counted colours: every occupied cell becomes a weighted point
// at its mean OKLab colour; the box of points with the largest squared error is split
// where the two halves' squared error is least, until there are N boxes; then k-means
// moves the boxes' means to the points nearest them until no point changes side.
#include "adaptive_palette.h"

#include "nearest_colour.h"
#include "oklab.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

constexpr int CELL_BITS = 6;
constexpr std::size_t CELL_COUNT = std::size_t{1} << (3 * CELL_BITS);
constexpr std::size_t MOST_DISTINCT = 256;
// Point weights are scaled down until they add up to at most this, so that the sums of
// squared errors (weight x a squared OKLab difference of at most 2^30) fit 64 bits.
constexpr std::uint64_t MOST_WEIGHT = std::uint64_t{1} << 28;
constexpr int MOST_ROUNDS = 24;

std::size_t CellOf(const std::uint8_t* rgb) {
    constexpr int drop = 8 - CELL_BITS;
    return (static_cast<std::size_t>(rgb[0] >> drop) << (2 * CELL_BITS)) |
           (static_cast<std::size_t>(rgb[1] >> drop) << CELL_BITS) |
           static_cast<std::size_t>(rgb[2] >> drop);
}

std::uint32_t Packed(const std::uint8_t* rgb) {
    return static_cast<std::uint32_t>(rgb[0]) << 16 | static_cast<std::uint32_t>(rgb[1]) << 8 |
           rgb[2];
}

// x / d rounded to the nearest integer, halves away from zero; d > 0.
std::int64_t RoundDiv(std::int64_t x, std::int64_t d) {
    return x >= 0 ? (x + d / 2) / d : -((-x + d / 2) / d);
}

struct Point {
    std::array<std::int32_t, 3> lab; // L, a, b
    std::int64_t weight;
};

Lab ToLab(const std::array<std::int32_t, 3>& v) {
    return {v[0], v[1], v[2]};
}

// Weight, sums and sums of squares of a set of points along the three axes.
struct Moments {
    std::int64_t weight = 0;
    std::array<std::int64_t, 3> sum{};
    std::array<std::int64_t, 3> squares{};

    void Add(const Point& p) {
        weight += p.weight;
        for (int k = 0; k < 3; ++k) {
            sum[k] += p.weight * p.lab[k];
            squares[k] += p.weight * p.lab[k] * p.lab[k];
        }
    }
    Moments Minus(const Moments& other) const {
        Moments rest = *this;
        rest.weight -= other.weight;
        for (int k = 0; k < 3; ++k) {
            rest.sum[k] -= other.sum[k];
            rest.squares[k] -= other.squares[k];
        }
        return rest;
    }
    std::int32_t Mean(int k) const {
        return weight > 0 ? static_cast<std::int32_t>(RoundDiv(sum[k], weight)) : 0;
    }
    // The squared error along axis k about the rounded mean m: sum w (x - m)^2.
    std::int64_t Error(int k) const {
        const std::int64_t m = Mean(k);
        return squares[k] - 2 * m * sum[k] + m * m * weight;
    }
    std::int64_t Error() const { return Error(0) + Error(1) + Error(2); }
};

struct Box {
    std::size_t begin;
    std::size_t end;
    Moments moments;
};

Moments MomentsOf(const std::vector<Point>& points, std::size_t begin, std::size_t end) {
    Moments m;
    for (std::size_t i = begin; i < end; ++i) {
        m.Add(points[i]);
    }
    return m;
}

// Splits the box along its axis of largest error, at the place where the two halves
// together have the least error; the first half stays in `box`, the second is returned.
Box Split(std::vector<Point>& points, Box& box) {
    int axis = 0;
    for (int k = 1; k < 3; ++k) {
        if (box.moments.Error(k) > box.moments.Error(axis)) {
            axis = k;
        }
    }
    std::sort(points.begin() + static_cast<std::ptrdiff_t>(box.begin),
              points.begin() + static_cast<std::ptrdiff_t>(box.end),
              [axis](const Point& x, const Point& y) {
                  if (x.lab[axis] != y.lab[axis]) {
                      return x.lab[axis] < y.lab[axis];
                  }
                  return x.lab < y.lab;
              });
    Moments left;
    std::size_t bestCut = box.begin + 1;
    std::int64_t bestError = INT64_MAX;
    for (std::size_t cut = box.begin + 1; cut < box.end; ++cut) {
        left.Add(points[cut - 1]);
        const std::int64_t error = left.Error() + box.moments.Minus(left).Error();
        if (error < bestError) {
            bestError = error;
            bestCut = cut;
        }
    }
    Box second{bestCut, box.end, MomentsOf(points, bestCut, box.end)};
    box.end = bestCut;
    box.moments = MomentsOf(points, box.begin, bestCut);
    return second;
}

std::vector<Lab> MedianCut(std::vector<Point>& points, std::size_t colours) {
    std::vector<Box> boxes{{0, points.size(), MomentsOf(points, 0, points.size())}};
    while (boxes.size() < colours) {
        Box* widest = nullptr;
        std::int64_t widestError = 0;
        for (Box& box : boxes) {
            const std::int64_t error = box.moments.Error();
            if (box.end - box.begin >= 2 && error > widestError) {
                widest = &box;
                widestError = error;
            }
        }
        if (widest == nullptr) {
            break;
        }
        const Box second = Split(points, *widest);
        boxes.push_back(second);
    }
    std::vector<Lab> centres;
    for (const Box& box : boxes) {
        centres.push_back({box.moments.Mean(0), box.moments.Mean(1), box.moments.Mean(2)});
    }
    return centres;
}

// Lloyd's iterations over the weighted points. A centre that no point is nearest to
// moves onto the point that is farthest (by weighted squared distance) from its own.
void KMeans(const std::vector<Point>& points, std::vector<Lab>& centres) {
    std::vector<std::size_t> nearest(points.size(), SIZE_MAX);
    for (int round = 0; round < MOST_ROUNDS; ++round) {
        const NearestColour finder(centres);
        bool changed = false;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::size_t k = finder.Find(ToLab(points[i].lab));
            changed = changed || k != nearest[i];
            nearest[i] = k;
        }
        if (!changed) {
            return;
        }
        std::vector<Moments> sums(centres.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            sums[nearest[i]].Add(points[i]);
        }
        std::vector<std::int64_t> misfit(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            misfit[i] = points[i].weight * LabDistance2(ToLab(points[i].lab), centres[nearest[i]]);
        }
        for (std::size_t k = 0; k < centres.size(); ++k) {
            if (sums[k].weight > 0) {
                centres[k] = {sums[k].Mean(0), sums[k].Mean(1), sums[k].Mean(2)};
                continue;
            }
            const auto worst = std::max_element(misfit.begin(), misfit.end());
            const auto i = static_cast<std::size_t>(worst - misfit.begin());
            centres[k] = ToLab(points[i].lab);
            *worst = 0;
        }
    }
}

// The colours as a palette without repeats, dark first.
Palette Ordered(std::vector<std::uint32_t> colours) {
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    struct Keyed {
        Lab lab;
        std::uint32_t rgb;
    };
    std::vector<Keyed> keyed;
    for (const std::uint32_t c : colours) {
        keyed.push_back({SrgbToLab(static_cast<std::uint8_t>(c >> 16),
                                   static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)),
                         c});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& x, const Keyed& y) {
        if (x.lab.l != y.lab.l) {
            return x.lab.l < y.lab.l;
        }
        if (x.lab.a != y.lab.a) {
            return x.lab.a < y.lab.a;
        }
        if (x.lab.b != y.lab.b) {
            return x.lab.b < y.lab.b;
        }
        return x.rgb < y.rgb;
    });
    Palette palette;
    for (const Keyed& k : keyed) {
        palette.push_back({static_cast<std::uint8_t>(k.rgb >> 16),
                           static_cast<std::uint8_t>(k.rgb >> 8),
                           static_cast<std::uint8_t>(k.rgb)});
    }
    return palette;
}

} // namespace

bool ColourHistogram::Add(const std::uint8_t* rgb, std::size_t count) {
    if (count == 0) {
        return true;
    }
    try {
        if (cells_.empty()) {
            cells_.resize(CELL_COUNT);
        }
        if (!manyColours_) {
            distinct_.reserve(MOST_DISTINCT + 1);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Neighbouring pixels often share a colour: the last few conversions are kept.
    constexpr std::size_t CACHE = 64;
    std::array<std::uint32_t, CACHE> cachedColour;
    cachedColour.fill(UINT32_MAX);
    std::array<Lab, CACHE> cachedLab{};
    std::uint32_t lastDistinct = UINT32_MAX;
    for (std::size_t i = 0; i < count; ++i, rgb += 3) {
        const std::uint32_t colour = Packed(rgb);
        const std::size_t slot = (colour ^ (colour >> 7) ^ (colour >> 14)) % CACHE;
        if (cachedColour[slot] != colour) {
            cachedColour[slot] = colour;
            cachedLab[slot] = SrgbToLab(rgb[0], rgb[1], rgb[2]);
        }
        const Lab& lab = cachedLab[slot];
        Cell& cell = cells_[CellOf(rgb)];
        ++cell.count;
        cell.l += lab.l;
        cell.a += lab.a;
        cell.b += lab.b;
        if (!manyColours_ && colour != lastDistinct) {
            lastDistinct = colour;
            const auto at = std::lower_bound(distinct_.begin(), distinct_.end(), colour);
            if (at == distinct_.end() || *at != colour) {
                if (distinct_.size() == MOST_DISTINCT) {
                    manyColours_ = true;
                    distinct_.clear();
                } else {
                    distinct_.insert(at, colour);
                }
            }
        }
    }
    return true;
}

Palette ColourHistogram::Choose(int colours) const {
    const std::size_t wanted = static_cast<std::size_t>(std::clamp(colours, 1, 256));
    if (!manyColours_ && distinct_.size() <= wanted) {
        return Ordered(distinct_);
    }
    std::uint64_t total = 0;
    for (const Cell& cell : cells_) {
        total += cell.count;
    }
    int shift = 0;
    while ((total >> shift) > MOST_WEIGHT) {
        ++shift;
    }
    std::vector<Point> points;
    for (const Cell& cell : cells_) {
        if (cell.count == 0) {
            continue;
        }
        const auto count = static_cast<std::int64_t>(cell.count);
        points.push_back({{static_cast<std::int32_t>(RoundDiv(cell.l, count)),
                           static_cast<std::int32_t>(RoundDiv(cell.a, count)),
                           static_cast<std::int32_t>(RoundDiv(cell.b, count))},
                          std::max<std::int64_t>(1, count >> shift)});
    }
    std::vector<Lab> centres = MedianCut(points, wanted);
    KMeans(points, centres);
    std::vector<std::uint32_t> chosen;
    for (const Lab& centre : centres) {
        std::uint8_t rgb[3];
        LabToSrgb(centre, rgb);
        chosen.push_back(Packed(rgb));
    }
    return Ordered(std::move(chosen));
}
