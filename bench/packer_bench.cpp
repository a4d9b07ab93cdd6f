// The packers with the run-length coder, on a photo-like and on a flat picture of
// 320 x 240: one record's pixel data per iteration, coded into the buffer (no file). The
// colour packers take colours made from the same pictures.
#include "bench_pictures.h"
#include "discard_sink.h"
#include "packers.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

const BenchPicture& Photo() {
    static const BenchPicture picture = PhotoPicture(WIDTH, HEIGHT);
    return picture;
}

const BenchPicture& Flat() {
    static const BenchPicture picture = FlatPicture(WIDTH, HEIGHT);
    return picture;
}

// One record's pixel data of the whole picture per iteration, from its grey levels or
// its colours (`samples`); the rate counts source pixels.
void Measure(benchmark::State& state, Packer packer, std::uint8_t layout,
             const BenchPicture& source, const std::uint8_t* samples) {
    RecordHeader header;
    header.width = static_cast<std::uint16_t>(source.width);
    header.height = static_cast<std::uint16_t>(source.height);
    header.layout = layout;
    ChangedRect rect;
    rect.width = static_cast<std::int16_t>(source.width);
    rect.height = static_cast<std::int16_t>(source.height);
    RunLengthBuffer coded;
    DiscardSink discard;
    for (auto _ : state) {
        benchmark::DoNotOptimize(packer(coded, discard, header, samples, rect));
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(source.pixels.size()),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Pack(benchmark::State& state, Packer packer, std::uint8_t layout,
             const BenchPicture& (*picture)()) {
    Measure(state, packer, layout, picture(), picture().pixels.data());
}

} // namespace

BENCHMARK_CAPTURE(BM_Pack, row1_photo, FieldPackers<1>::PackRowOrder, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_Pack, row1_flat, FieldPackers<1>::PackRowOrder, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_Pack, row1_reversed_photo, FieldPackers<1>::PackRowOrder,
                  ORDER_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_Pack, column1_photo, FieldPackers<1>::PackColumnOrder, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, column1_flat, FieldPackers<1>::PackColumnOrder, ORDER_COLUMNS, Flat);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_photo, FieldPackers<1>::PackBandedRows, ORDER_BANDED_ROWS,
                  Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_flat, FieldPackers<1>::PackBandedRows, ORDER_BANDED_ROWS,
                  Flat);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_reversed_photo, FieldPackers<1>::PackBandedRows,
                  ORDER_BANDED_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_columns1_photo, FieldPackers<1>::PackBandedColumns,
                  ORDER_BANDED_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_columns1_flat, FieldPackers<1>::PackBandedColumns,
                  ORDER_BANDED_COLUMNS, Flat);
BENCHMARK_CAPTURE(BM_Pack, row8_photo, PackRowOrder8, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_Pack, row8_flat, PackRowOrder8, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_Pack, column8_photo, PackColumnOrder8, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, column8_flat, PackColumnOrder8, ORDER_COLUMNS, Flat);

namespace {

// Depths 2 and 4 in every order, on both pictures and reversed on the photo-like one:
// BM_Pack/row2_photo, BM_Pack/banded_columns4_reversed_photo and so on.
const bool GREY_PACKERS_REGISTERED = [] {
    const struct {
        const char* name;
        std::uint8_t order;
    } orders[] = {{"row", ORDER_ROWS},
                  {"column", ORDER_COLUMNS},
                  {"banded_rows", ORDER_BANDED_ROWS},
                  {"banded_columns", ORDER_BANDED_COLUMNS}};
    const struct {
        const char* name;
        std::uint8_t flags;
        const BenchPicture& (*picture)();
    } variants[] = {
        {"_photo", 0, Photo}, {"_flat", 0, Flat}, {"_reversed_photo", LAYOUT_REVERSED, Photo}};
    for (const int depth : {2, 4}) {
        for (const auto& order : orders) {
            for (const auto& variant : variants) {
                const std::string name =
                    "BM_Pack/" + std::string(order.name) + std::to_string(depth) + variant.name;
                const auto layout = static_cast<std::uint8_t>(order.order | variant.flags);
                benchmark::RegisterBenchmark(name.c_str(), BM_Pack, SelectPacker(depth, layout),
                                             layout, variant.picture);
            }
        }
    }
    return true;
}();

} // namespace

namespace {

// Red, green and blue that follow the grey picture differently, so that a flat area
// stays flat and a shaded one changes in every channel.
std::vector<std::uint8_t> ColoursOf(const BenchPicture& picture) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(3 * picture.pixels.size());
    for (const std::uint8_t grey : picture.pixels) {
        rgb.push_back(grey);
        rgb.push_back(static_cast<std::uint8_t>(255 - grey));
        rgb.push_back(static_cast<std::uint8_t>(grey + 85));
    }
    return rgb;
}

void BM_PackColour(benchmark::State& state, int depth, std::uint8_t layout,
                   const BenchPicture& (*picture)()) {
    const std::vector<std::uint8_t> rgb = ColoursOf(picture());
    Measure(state, SelectPacker(depth, layout), layout, picture(), rgb.data());
}

} // namespace

// Depths 16 and 24 in both orders, plain and with their bytes exchanged.
BENCHMARK_CAPTURE(BM_PackColour, row16_photo, 16, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_PackColour, row16_flat, 16, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_PackColour, row16_reversed_photo, 16, ORDER_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_PackColour, column16_photo, 16, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_PackColour, column16_flat, 16, ORDER_COLUMNS, Flat);
BENCHMARK_CAPTURE(BM_PackColour, row24_photo, 24, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_PackColour, row24_flat, 24, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_PackColour, row24_reversed_photo, 24, ORDER_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_PackColour, column24_photo, 24, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_PackColour, column24_flat, 24, ORDER_COLUMNS, Flat);
