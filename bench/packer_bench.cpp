// The six packers with the run-length coder, on a photo-like and on a flat picture of
// 320 x 240: one record's pixel data per iteration, coded into the buffer (no file).
#include "bench_pictures.h"
#include "packers.h"

#include <benchmark/benchmark.h>

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

void BM_Pack(benchmark::State& state, Packer packer, std::uint8_t layout,
             const BenchPicture& (*picture)()) {
    const BenchPicture& source = picture();
    RecordHeader header;
    header.width = static_cast<std::uint16_t>(source.width);
    header.height = static_cast<std::uint16_t>(source.height);
    header.layout = layout;
    ChangedRect rect;
    rect.width = static_cast<std::int16_t>(source.width);
    rect.height = static_cast<std::int16_t>(source.height);
    RunLengthBuffer coded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(packer(coded, nullptr, header, source.pixels.data(), rect));
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(source.pixels.size()),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_Pack, row1_photo, PackRowOrder1, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_Pack, row1_flat, PackRowOrder1, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_Pack, row1_reversed_photo, PackRowOrder1, ORDER_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_Pack, column1_photo, PackColumnOrder1, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, column1_flat, PackColumnOrder1, ORDER_COLUMNS, Flat);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_photo, PackBandedRows1, ORDER_BANDED_ROWS, Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_flat, PackBandedRows1, ORDER_BANDED_ROWS, Flat);
BENCHMARK_CAPTURE(BM_Pack, banded_rows1_reversed_photo, PackBandedRows1,
                  ORDER_BANDED_ROWS | LAYOUT_REVERSED, Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_columns1_photo, PackBandedColumns1, ORDER_BANDED_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, banded_columns1_flat, PackBandedColumns1, ORDER_BANDED_COLUMNS, Flat);
BENCHMARK_CAPTURE(BM_Pack, row8_photo, PackRowOrder8, ORDER_ROWS, Photo);
BENCHMARK_CAPTURE(BM_Pack, row8_flat, PackRowOrder8, ORDER_ROWS, Flat);
BENCHMARK_CAPTURE(BM_Pack, column8_photo, PackColumnOrder8, ORDER_COLUMNS, Photo);
BENCHMARK_CAPTURE(BM_Pack, column8_flat, PackColumnOrder8, ORDER_COLUMNS, Flat);
