// How fast the two codings write: source pixels per second of CPU time at depths 1, 8 and
// 16 (row order, 320 x 240), on the photo-like and the flat picture of the packer
// benchmarks. "run_length" is the packer with its run-length coder; "squash" is what the
// writer does for --coding squash: the packer fills a byte buffer, which the squash
// encoder codes (auto codes the buffer with the run-length coder as well, which costs
// about what run_length costs).
#include "bench_pictures.h"
#include "discard_sink.h"
#include "packers.h"
#include "pixel_stream_shape.h"
#include "squash_coding.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

struct Source {
    BenchPicture picture;
    std::vector<std::uint8_t> samples; // grey levels, or red, green, blue at depth 16
};

Source Make(bool photo, int depth) {
    Source s;
    s.picture = photo ? PhotoPicture(WIDTH, HEIGHT) : FlatPicture(WIDTH, HEIGHT);
    if (depth != 16) {
        s.samples = s.picture.pixels;
        return s;
    }
    for (const std::uint8_t grey : s.picture.pixels) {
        s.samples.push_back(grey);
        s.samples.push_back(static_cast<std::uint8_t>(255 - grey));
        s.samples.push_back(static_cast<std::uint8_t>(grey + 85));
    }
    return s;
}

RecordHeader Header(int depth) {
    RecordHeader header;
    header.width = WIDTH;
    header.height = HEIGHT;
    header.depth = static_cast<std::uint8_t>(depth);
    header.layout = ORDER_ROWS;
    return header;
}

ChangedRect WholePicture() {
    ChangedRect rect;
    rect.width = WIDTH;
    rect.height = HEIGHT;
    return rect;
}

void SetRate(benchmark::State& state) {
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(WIDTH * HEIGHT),
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_RunLength(benchmark::State& state, int depth, bool photo) {
    const Source source = Make(photo, depth);
    const Packer packer = SelectPacker(depth, ORDER_ROWS);
    RunLengthBuffer coded;
    DiscardSink discard;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            packer(coded, discard, Header(depth), source.samples.data(), WholePicture()));
    }
    SetRate(state);
}

// The writer's squash path: the packer fills a byte buffer, which the squash encoder
// (keeping its memory from record to record) codes.
void BM_Squash(benchmark::State& state, int depth, bool photo) {
    const Source source = Make(photo, depth);
    const auto shape = ShapeOfPixelStream(ORDER_ROWS, static_cast<unsigned>(depth), WIDTH, HEIGHT);
    const Packer packer = SelectPacker(depth, ORDER_ROWS);
    RunLengthBuffer coded;
    DiscardSink discard;
    SquashEncoder encoder;
    std::vector<std::uint8_t> stream;
    for (auto _ : state) {
        stream.clear();
        coded.collect = &stream;
        packer(coded, discard, Header(depth), source.samples.data(), WholePicture());
        coded.collect = nullptr;
        benchmark::DoNotOptimize(encoder.Encode(stream, *shape));
    }
    SetRate(state);
}

} // namespace

BENCHMARK_CAPTURE(BM_RunLength, depth1_photo, 1, true);
BENCHMARK_CAPTURE(BM_RunLength, depth1_flat, 1, false);
BENCHMARK_CAPTURE(BM_RunLength, depth8_photo, 8, true);
BENCHMARK_CAPTURE(BM_RunLength, depth8_flat, 8, false);
BENCHMARK_CAPTURE(BM_RunLength, depth16_photo, 16, true);
BENCHMARK_CAPTURE(BM_RunLength, depth16_flat, 16, false);
BENCHMARK_CAPTURE(BM_Squash, depth1_photo, 1, true);
BENCHMARK_CAPTURE(BM_Squash, depth1_flat, 1, false);
BENCHMARK_CAPTURE(BM_Squash, depth8_photo, 8, true);
BENCHMARK_CAPTURE(BM_Squash, depth8_flat, 8, false);
BENCHMARK_CAPTURE(BM_Squash, depth16_photo, 16, true);
BENCHMARK_CAPTURE(BM_Squash, depth16_flat, 16, false);
