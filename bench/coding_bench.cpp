// How fast the two codings write: source pixels per second of CPU time at depths 1, 8 and
// 16 (row order, 320 x 240), on the photo-like and the flat picture of the packer
// benchmarks. "run_length" is the packer with its run-length coder, as the writer runs it
// today; "squash" is the squash encoder over the same packed stream (packing it first
// costs about what run_length costs).
#include "bench_pictures.h"
#include "byte_reader.h"
#include "packers.h"
#include "pixel_stream_shape.h"
#include "squash_coding.h"
#include "unpack_byte.h"

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
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            packer(coded, nullptr, Header(depth), source.samples.data(), WholePicture()));
    }
    SetRate(state);
}

void BM_Squash(benchmark::State& state, int depth, bool photo) {
    const Source source = Make(photo, depth);
    const auto shape = ShapeOfPixelStream(ORDER_ROWS, static_cast<unsigned>(depth), WIDTH, HEIGHT);
    // The packed stream: the run-length packer's output, undone.
    RunLengthBuffer coded;
    BeginPixelData(coded);
    SelectPacker(depth, ORDER_ROWS)(coded, nullptr, Header(depth), source.samples.data(),
                                    WholePicture());
    std::vector<std::uint8_t> runLength(coded.Data(), coded.Data() + coded.Length());
    std::vector<std::uint8_t> stream(shape->totalBytes);
    ByteReader reader;
    reader.OpenMemory(runLength);
    UnpackState unpack;
    UnpackBytes(reader, unpack, stream.data(), stream.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeSquash(stream, *shape));
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
