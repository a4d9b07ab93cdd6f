// FramePlayer against DecodeRecord with build-up: every record of the expected conversion
// outputs, of the fuzz corpora and of hand-made hostile files, whole and cut short, shown
// in file order, out of order and in play order, gives DecodeRecord's status and bitmap;
// and a step draws over the frame on show rather than building it up again.
#include "decode_record.h"
#include "frame_player.h"
#include "play_sequence.h"
#include "record_walk.h"
#include "test_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::filesystem::path ROOT = std::filesystem::path(ZENTRA_TEST_DATA) / ".." / "..";

struct NamedFile {
    std::string name;
    Bytes bytes;
};

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every Zentra file the repository holds for tests: the expected conversion outputs and
// the decoders' fuzz corpora and regression inputs.
std::vector<NamedFile> RepositoryFiles() {
    std::vector<NamedFile> files;
    const std::filesystem::path folders[] = {ROOT / "tests" / "data" / "expected",
                                             ROOT / "fuzz" / "corpus" / "decode_record",
                                             ROOT / "fuzz" / "corpus" / "device_decoder",
                                             ROOT / "fuzz" / "regressions" / "decode_record"};
    for (const std::filesystem::path& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::filesystem::path& path = entry.path();
            if (entry.is_regular_file() &&
                (path.extension() == ".ztr" || path.parent_path().filename() != "expected")) {
                files.push_back(
                    {path.parent_path().filename().string() + "/" + path.filename().string(),
                     ReadAll(path)});
            }
        }
    }
    std::sort(files.begin(), files.end(),
              [](const NamedFile& a, const NamedFile& b) { return a.name < b.name; });
    return files;
}

// A 7 x 3 8-bit full frame, the same for several files below.
const Bytes FRAME_7X3 = {1,  2,  3,  4,  5,  6,  7,  11, 12, 13, 14,
                         15, 16, 17, 21, 22, 23, 24, 25, 26, 27};

// A delta record that asks for 65535 x 65535 bytes from a file of a few bytes: the rest
// of the file cannot hold it, so a run ends before it.
RecordRecipe HugeDelta() {
    return DeltaRecipe(30, ORDER_COLUMNS, 8, 65535, 65535, 1, 1, {77, 78, 79});
}

// Files that no writer makes, each aimed at one way a run can go.
std::vector<NamedFile> HostileFiles() {
    RecordRecipe lastInside = DeltaRecipe(30, ORDER_ROWS, 8, 2, 1, 5, 2, {90, 91});
    lastInside.layout |= RECORD_LAST_FRAME;
    RecordRecipe palette = DeltaRecipe(30, RECORD_PALETTE, 1, 3, 1, 4, 1, {0xA0});
    palette.palette = {9, 8, 7, 6, 5, 4};
    return {
        {"a run ends at a record the file cannot hold; a later delta fits",
         Concat({MakeRecord(Recipe(ORDER_ROWS, 8, 7, 3, FRAME_7X3)),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 2, 1, 1, 1, {70, 71})),
                 MakeRecord(HugeDelta()),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 1, 1, 0, 0, {99})),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 1, 1, 6, 2, {98}))})},
        {"deltas before any full frame, then a sequence after a record flagged last",
         Concat(
             {MakeRecord(DeltaRecipe(30, ORDER_ROWS, 1, 3, 2, 2, 1, {0xA0, 0x40})),
              MakeRecord(DeltaRecipe(30, ORDER_ROWS, 1, 2, 1, 0, 0, {0xC0})),
              MakeRecord(Recipe(ORDER_BANDED_ROWS, 1, 11, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})),
              MakeRecord(lastInside),
              MakeRecord(DeltaRecipe(30, ORDER_ROWS, 1, 9, 2, 1, 1, {0xFF, 0x80, 0x55, 0})),
              MakeRecord(palette)})},
        {"a record flagged last inside a sequence, deltas after it",
         Concat({MakeRecord(Recipe(ORDER_ROWS, 8, 7, 3, FRAME_7X3)), MakeRecord(lastInside),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 1, 2, 6, 0, {50, 51})),
                 MakeRecord(DeltaRecipe(30, ORDER_COLUMNS, 8, 2, 1, 0, 2, {60, 61}))})},
        {"a full frame too large to show, then its deltas",
         Concat({MakeRecord(Recipe(ORDER_ROWS, 8, 65535, 65535, {1, 2, 3})),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 1, 1, 0, 0, {5})),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 1, 1, 1, 0, {6}))})},
        {"a planar full frame, a delta of a depth not shown, deltas out of the frame",
         Concat(
             {MakeRecord(Recipe(LAYOUT_PLANAR, 1, 9, 4, {0xFF, 0xFF, 0xFF, 0xFF})),
              MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 2, 2, 3, 1, {1, 2, 3, 4})),
              MakeRecord(DeltaRecipe(30, ORDER_ROWS, 3, 2, 2, 0, 0, {0xFF, 0xFF})),
              MakeRecord(DeltaRecipe(30, ORDER_BANDED_COLUMNS, 1, 16, 16, 5, 2, Bytes(32, 0xF0))),
              MakeRecord(DeltaRecipe(30, ORDER_ROWS, 1, 8, 1, 60000, 60000, {0xFF}))})},
        {"a second display type's sequence of another depth and size",
         Concat({MakeRecord(Recipe(ORDER_ROWS, 8, 7, 3, FRAME_7X3)),
                 MakeRecord(DeltaRecipe(30, ORDER_ROWS, 8, 2, 1, 1, 1, {70, 71})),
                 MakeRecord(Recipe(ORDER_COLUMNS, 4, 5, 3,
                                   {0x12, 0x30, 0x45, 0x60, 0x78, 0x90, 0xAB, 0xC0, 0xDE, 0xF0})),
                 MakeRecord(DeltaRecipe(30, ORDER_COLUMNS, 4, 1, 2, 3, 1, {0xEE}))})},
    };
}

bool SameInfo(const BitmapInfoHeader& a, const BitmapInfoHeader& b) {
    return a.size == b.size && a.width == b.width && a.height == b.height && a.planes == b.planes &&
           a.bitCount == b.bitCount && a.compression == b.compression &&
           a.imageSize == b.imageSize && a.xPelsPerMeter == b.xPelsPerMeter &&
           a.yPelsPerMeter == b.yPelsPerMeter && a.coloursUsed == b.coloursUsed &&
           a.coloursImportant == b.coloursImportant;
}

bool SameColours(const DisplayBitmap& a, const DisplayBitmap& b) {
    return std::equal(a.colours.begin(), a.colours.end(), b.colours.begin(),
                      [](const ColourEntry& x, const ColourEntry& y) {
                          return x.blue == y.blue && x.green == y.green && x.red == y.red &&
                                 x.reserved == y.reserved;
                      });
}

// The player's frame and status against DecodeRecord(buildUp = true) of the same record.
::testing::AssertionResult ShowsAsDecodeRecord(const ByteSource& source, const FramePlayer& player,
                                               DecodeStatus status, int index) {
    DisplayBitmap want;
    const DecodeStatus wantStatus = DecodeRecord(source, index, true, want);
    const DisplayBitmap& got = player.Frame();
    if (status != wantStatus || player.Status() != wantStatus) {
        return ::testing::AssertionFailure()
               << "record " << index << ": status " << static_cast<int>(status) << ", DecodeRecord "
               << static_cast<int>(wantStatus);
    }
    if (got.pixels.has_value() != want.pixels.has_value()) {
        return ::testing::AssertionFailure()
               << "record " << index << ": pixels present " << got.pixels.has_value();
    }
    if (!want.pixels) {
        return ::testing::AssertionSuccess();
    }
    if (got.width != want.width || got.height != want.height || got.depth != want.depth ||
        got.stride != want.stride || !SameInfo(got.info, want.info) || got.masks != want.masks) {
        return ::testing::AssertionFailure()
               << "record " << index << ": " << got.width << " x " << got.height << " x "
               << got.depth << ", DecodeRecord " << want.width << " x " << want.height << " x "
               << want.depth;
    }
    if (*got.pixels != *want.pixels) {
        return ::testing::AssertionFailure() << "record " << index << ": pixels differ";
    }
    if (!SameColours(got, want)) {
        return ::testing::AssertionFailure() << "record " << index << ": colour tables differ";
    }
    return ::testing::AssertionSuccess();
}

// Shows every record of the file in file order, then from the last back to the first,
// then plays from every record for a few frames and from the first for two rounds of
// the whole file: each frame as DecodeRecord shows it.
void CheckEveryWay(const std::string& name, const ByteSource& source, bool playEveryStart) {
    SCOPED_TRACE(name);
    const auto listed = ListRecords(source);
    ASSERT_TRUE(listed.has_value());
    FramePlayer player;
    ASSERT_TRUE(player.Open(source));
    ASSERT_EQ(player.Records().size(), listed->size());
    const int count = static_cast<int>(listed->size());
    for (int i = 0; i <= count; ++i) {
        ASSERT_TRUE(ShowsAsDecodeRecord(source, player, player.Show(i), i)) << "in file order";
    }
    for (int i = count - 1; i >= -1; --i) {
        ASSERT_TRUE(ShowsAsDecodeRecord(source, player, player.Show(i), i)) << "backwards";
    }
    const int starts = playEveryStart ? count : std::min(count, 1);
    for (int start = 0; start < starts; ++start) {
        player.Show(start);
        const int frames = start == 0 ? 2 * count + 2 : 3;
        for (int frame = 0; frame < frames; ++frame) {
            const int next = NextPlayedRecord(*listed, player.Index());
            const DecodeStatus status = player.ShowNext();
            ASSERT_EQ(player.Index(), next) << "playing from " << start;
            ASSERT_EQ(player.Time(), FrameTime(*listed, next));
            ASSERT_TRUE(ShowsAsDecodeRecord(source, player, status, next))
                << "playing from " << start;
        }
    }
}

TEST(FramePlayerTest, ShowsEveryRepositoryFileAsDecodeRecord) {
    const std::vector<NamedFile> files = RepositoryFiles();
    ASSERT_GE(files.size(), 40u);
    for (const NamedFile& file : files) {
        CheckEveryWay(file.name, MemorySource(file.bytes), true);
    }
}

TEST(FramePlayerTest, ShowsHostileFilesAsDecodeRecord) {
    for (const NamedFile& file : HostileFiles()) {
        CheckEveryWay(file.name, MemorySource(file.bytes), true);
    }
}

// Animations of every depth cut in the middle of each record: the cut record and those
// before it, stepped through, built up and played, as DecodeRecord shows them.
TEST(FramePlayerTest, ShowsCutFilesAsDecodeRecord) {
    for (const char* name : {"anim.ztr", "palette_anim_grey.ztr", "colour_anim_colour.ztr"}) {
        const Bytes file = ReadAll(ROOT / "tests" / "data" / "expected" / name);
        const auto listed = ListRecords(MemorySource(file));
        ASSERT_TRUE(listed.has_value() && !listed->empty()) << name;
        std::size_t start = 0;
        for (const ListedRecord& record : *listed) {
            const std::size_t cut = start + record.header.recordLength / 2;
            const Bytes cutBytes(file.begin(), file.begin() + static_cast<long>(cut));
            CheckEveryWay(std::string(name) + " cut at " + std::to_string(cut),
                          MemorySource(cutBytes), false);
            start += record.header.recordLength;
        }
    }
}

TEST(FramePlayerTest, ReadsFilesAsDecodeRecordDoes) {
    TempFolder folder;
    const NamedFile hostile = HostileFiles().front();
    const std::string paths[] = {(ROOT / "tests" / "data" / "expected" / "anim.ztr").string(),
                                 folder.Write("hostile.ztr", hostile.bytes)};
    for (const std::string& path : paths) {
        CheckEveryWay(path, FileSource(path), false);
    }
    FramePlayer player;
    for (const std::string& missing : {std::string(), (folder.Path() / "none.ztr").string()}) {
        EXPECT_FALSE(player.Open(FileSource(missing))) << missing;
        EXPECT_TRUE(player.Records().empty());
        EXPECT_EQ(player.Show(0), DecodeStatus::CannotOpen);
        EXPECT_EQ(player.ShowNext(), DecodeStatus::CannotOpen);
        EXPECT_FALSE(player.Frame().pixels.has_value());
    }
}

// Worked by hand: the 7 x 3 frame (bottom row first in the bitmap, stride 8), the first
// delta's 70 71 at columns 1-2 of row 1; the huge delta ends the run, so the two small
// deltas after it draw nothing, stepped through or built up.
TEST(FramePlayerTest, ARunEndedByARecordTheFileCannotHoldStaysEnded) {
    const Bytes file = HostileFiles().front().bytes;
    const Bytes afterFirstDelta = {21, 22, 23, 24, 25, 26, 27, 0, 11, 70, 71, 14,
                                   15, 16, 17, 0,  1,  2,  3,  4, 5,  6,  7,  0};
    FramePlayer player;
    ASSERT_TRUE(player.Open(MemorySource(file)));
    for (const int index : {0, 1, 2, 3, 4}) {
        EXPECT_EQ(player.Show(index), DecodeStatus::Shown) << index;
    }
    EXPECT_EQ(*player.Frame().pixels, afterFirstDelta);
    FramePlayer seeking;
    ASSERT_TRUE(seeking.Open(MemorySource(file)));
    EXPECT_EQ(seeking.Show(4), DecodeStatus::Shown);
    EXPECT_EQ(*seeking.Frame().pixels, afterFirstDelta);
}

// A step reads only the next record: pixel data of the full frame changed after it was
// shown does not reach the next frame, while building up again reads it.
TEST(FramePlayerTest, AStepDrawsOverTheFrameOnShow) {
    const Bytes original = ReadAll(ROOT / "tests" / "data" / "expected" / "anim.ztr");
    Bytes changed = original;
    const auto listed = ListRecords(MemorySource(original));
    ASSERT_TRUE(listed.has_value());
    ASSERT_GE(listed->size(), 3u);
    ASSERT_EQ((*listed)[0].header.layout & RECORD_DELTA, 0);
    ASSERT_NE((*listed)[1].header.layout & RECORD_DELTA, 0);
    ASSERT_NE((*listed)[2].header.layout & RECORD_DELTA, 0);
    FramePlayer player;
    ASSERT_TRUE(player.Open(MemorySource(changed)));
    player.Show(0);
    const Bytes firstFrame = *player.Frame().pixels;
    for (std::size_t i = RECORD_HEADER_SIZE; i < (*listed)[0].header.recordLength; ++i) {
        changed[i] = static_cast<std::uint8_t>(~changed[i]);
    }
    DisplayBitmap fromOriginal;
    DisplayBitmap fromChanged;
    for (const int index : {1, 2}) {
        player.Show(index);
        DecodeRecord(MemorySource(original), index, true, fromOriginal);
        DecodeRecord(MemorySource(changed), index, true, fromChanged);
        ASSERT_NE(*fromOriginal.pixels, *fromChanged.pixels) << "the change must show";
        EXPECT_EQ(*player.Frame().pixels, *fromOriginal.pixels) << index;
    }
    player.Show(0);
    EXPECT_NE(*player.Frame().pixels, firstFrame) << "the full frame is read again";
}

TEST(FramePlayerTest, KeptRecordsAreAllThatIsPlayed) {
    const Bytes file = ReadAll(ROOT / "tests" / "data" / "expected" / "anim.ztr");
    const auto listed = ListRecords(MemorySource(file));
    ASSERT_TRUE(listed.has_value());
    ASSERT_GT(listed->size(), 8u);
    const std::vector<ListedRecord> kept(listed->begin(), listed->begin() + 4);
    FramePlayer player;
    ASSERT_TRUE(player.Open(MemorySource(file)));
    player.Show(6);
    player.KeepRecords(4);
    EXPECT_EQ(player.Index(), -1);
    EXPECT_FALSE(player.Frame().pixels.has_value());
    EXPECT_EQ(player.Records().size(), 4u);
    EXPECT_EQ(player.Show(4), DecodeStatus::NoRecord);
    for (int frame = 0; frame < 9; ++frame) {
        const int next = NextPlayedRecord(kept, player.Index());
        player.ShowNext();
        ASSERT_EQ(player.Index(), next) << frame;
        EXPECT_EQ(player.Time(), FrameTime(kept, next)) << frame;
    }
}

} // namespace
