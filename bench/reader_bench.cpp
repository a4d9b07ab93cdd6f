// The source readers through LoadImageFile: a 320 x 240 photo-like picture in every
// accepted format, read from a file per iteration (the page cache holds it).
#include "bench_files.h"
#include "source_image.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

const std::filesystem::path& SourcePath(SourceKind kind) {
    static ScratchFolder folder("readers");
    static std::filesystem::path paths[7];
    std::filesystem::path& path = paths[static_cast<int>(kind)];
    if (path.empty()) {
        path = folder.Path() /
               ("picture" + std::to_string(static_cast<int>(kind)) + SourceExtension(kind));
        WriteSourceFile(path, PhotoPicture(WIDTH, HEIGHT), kind);
    }
    return path;
}

void BM_Read(benchmark::State& state, SourceKind kind) {
    const std::string path = SourcePath(kind).string();
    for (auto _ : state) {
        std::optional<SourceImage> image = LoadImageFile(path, MessageSink{});
        if (!image) {
            state.SkipWithError("the picture could not be read");
            break;
        }
        benchmark::DoNotOptimize(image->pixels.data());
    }
    state.counters["pixels"] =
        benchmark::Counter(double{WIDTH} * HEIGHT, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_Read, plain_pbm_P1, SourceKind::PlainPbm);
BENCHMARK_CAPTURE(BM_Read, plain_pgm_P2, SourceKind::PlainPgm);
BENCHMARK_CAPTURE(BM_Read, raw_pbm_P4, SourceKind::RawPbm);
BENCHMARK_CAPTURE(BM_Read, raw_pgm_P5, SourceKind::RawPgm);
BENCHMARK_CAPTURE(BM_Read, bmp_1bit, SourceKind::Bmp1);
BENCHMARK_CAPTURE(BM_Read, bmp_4bit, SourceKind::Bmp4);
BENCHMARK_CAPTURE(BM_Read, bmp_8bit, SourceKind::Bmp8);
