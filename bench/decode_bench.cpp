// DecodeRecord for every lay-out the converter writes, on a 320 x 240 photo-like
// picture, and the build-up of frames 100 and 300 of an animation: each iteration is a
// whole viewer decoding (open the file, walk, decode, close). And the frame player
// playing a 300-picture animation: each iteration is one played frame.
#include "bench_files.h"
#include "convert_images.h"
#include "decode_record.h"
#include "frame_player.h"
#include "record_walk.h"
#include "type_code.h"
#include "zentra_format.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr int FRAMES = 100;
constexpr int LONG_FRAMES = 300;

ScratchFolder& Folder() {
    static ScratchFolder folder("decode");
    return folder;
}

// A file holding the photo-like picture for one type code, made on first use.
std::string SingleFile(std::uint32_t code) {
    static std::map<std::uint32_t, std::string> files;
    auto found = files.find(code);
    if (found != files.end()) {
        return found->second;
    }
    const auto source = Folder().Path() / ("photo_" + std::to_string(code) + ".pgm");
    WriteSourceFile(source, PhotoPicture(WIDTH, HEIGHT), SourceKind::RawPgm);
    if (WritePicturesAsFrames({source.string()}, {code}, 0, ConversionContext{}) != Outcome{}) {
        return {};
    }
    return files[code] = OutputPathFor(source.string());
}

// An animation of the moving disc for one type code and number of pictures, made on
// first use: a full frame, a delta record for each further picture and one back to the
// first.
std::string AnimationFile(std::uint32_t code, int pictures = FRAMES) {
    static std::map<std::pair<std::uint32_t, int>, std::string> files;
    auto found = files.find({code, pictures});
    if (found != files.end()) {
        return found->second;
    }
    const std::string name = "anim" + std::to_string(pictures) + "_" + std::to_string(code);
    std::vector<std::string> frames;
    for (int frame = 0; frame < pictures; ++frame) {
        const auto path = Folder().Path() / (name + "_" + std::to_string(frame) + ".pgm");
        WriteSourceFile(path, MovingShapeFrame(WIDTH, HEIGHT, frame), SourceKind::RawPgm);
        frames.push_back(path.string());
    }
    if (WritePicturesAsFrames(frames, {code}, 40, ConversionContext{}) != Outcome{}) {
        return {};
    }
    return files[{code, pictures}] = OutputPathFor(frames.front());
}

// The pixels of the records that a decoding run places: records first .. last.
double RecordPixels(const std::string& file, int first, int last) {
    const std::optional<std::vector<ListedRecord>> records = ListRecords(file);
    double pixels = 0;
    for (int i = first; records && i <= last && i < static_cast<int>(records->size()); ++i) {
        pixels += static_cast<double>((*records)[i].header.width) * (*records)[i].header.height;
    }
    return pixels;
}

// "pixels": the frame's pixels per decoding; "decoded": the pixels of all records placed.
void Decode(benchmark::State& state, const std::string& file, int index, bool buildUp) {
    if (file.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    DisplayBitmap bitmap;
    for (auto _ : state) {
        DecodeRecord(file, index, buildUp, bitmap);
        if (!bitmap.pixels) {
            state.SkipWithError("nothing was decoded");
            break;
        }
        benchmark::DoNotOptimize(bitmap.pixels->data());
    }
    state.counters["pixels"] =
        benchmark::Counter(double{WIDTH} * HEIGHT, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["decoded"] = benchmark::Counter(RecordPixels(file, buildUp ? 0 : index, index),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DecodeRecord(benchmark::State& state, std::uint32_t code) {
    Decode(state, SingleFile(code), 0, false);
}

// Frame 100 built up: the full frame and the 99 delta records after it.
void BM_BuildUp(benchmark::State& state, std::uint32_t code) {
    Decode(state, AnimationFile(code), FRAMES - 1, true);
}

// Frame 300 built up: the full frame and the 299 delta records after it.
void BM_BuildUpLong(benchmark::State& state, std::uint32_t code) {
    Decode(state, AnimationFile(code, LONG_FRAMES), LONG_FRAMES - 1, true);
}

// The player going round the 300-picture animation (301 records, the last back to the
// first picture, then the full frame again): one played frame per iteration, so the
// time is the mean over every frame of the loop, whatever its number.
void BM_Play(benchmark::State& state, std::uint32_t code) {
    const std::string file = AnimationFile(code, LONG_FRAMES);
    FramePlayer player;
    if (file.empty() || !player.Open(FileSource(file))) {
        state.SkipWithError("the file could not be written or opened");
        return;
    }
    for (auto _ : state) {
        if (player.ShowNext() != DecodeStatus::Shown) {
            state.SkipWithError("a frame was not shown");
            break;
        }
        benchmark::DoNotOptimize(player.Frame().pixels->data());
    }
    state.counters["pixels"] =
        benchmark::Counter(double{WIDTH} * HEIGHT, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK_CAPTURE(BM_DecodeRecord, row1, MakeTypeCode(ORDER_ROWS, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, row1_reversed, MakeTypeCode(ORDER_ROWS | LAYOUT_REVERSED, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, row1_inverted_y,
                  MakeTypeCode(ORDER_ROWS | LAYOUT_INVERTED_Y, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, column1, MakeTypeCode(ORDER_COLUMNS, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, column1_reversed,
                  MakeTypeCode(ORDER_COLUMNS | LAYOUT_REVERSED, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, banded_rows1, MakeTypeCode(ORDER_BANDED_ROWS, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, banded_rows1_reversed,
                  MakeTypeCode(ORDER_BANDED_ROWS | LAYOUT_REVERSED, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, banded_columns1, MakeTypeCode(ORDER_BANDED_COLUMNS, 1));
BENCHMARK_CAPTURE(BM_DecodeRecord, row8, MakeTypeCode(ORDER_ROWS, 8));
BENCHMARK_CAPTURE(BM_DecodeRecord, column8, MakeTypeCode(ORDER_COLUMNS, 8));
BENCHMARK_CAPTURE(BM_BuildUp, frame100_banded_rows1_reversed,
                  MakeTypeCode(ORDER_BANDED_ROWS | LAYOUT_REVERSED, 1));
BENCHMARK_CAPTURE(BM_BuildUp, frame100_row8, MakeTypeCode(ORDER_ROWS, 8));
BENCHMARK_CAPTURE(BM_BuildUpLong, frame300_row8, MakeTypeCode(ORDER_ROWS, 8));
BENCHMARK_CAPTURE(BM_Play, anim300_banded_rows1_reversed,
                  MakeTypeCode(ORDER_BANDED_ROWS | LAYOUT_REVERSED, 1));
BENCHMARK_CAPTURE(BM_Play, anim300_row8, MakeTypeCode(ORDER_ROWS, 8));
