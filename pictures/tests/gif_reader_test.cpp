// GIF animations built block by block on a 3 x 2 screen: the background of the first frame,
// transparency and delays that hold until the next control block, both restoring disposals,
// short delays, and where a cut or damaged file stops (and that the reader says so).
#include "picture_readers.h"
#include "readers_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using namespace readers_test;

using Bytes = std::vector<std::uint8_t>;

struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Bytes indices; // of the 4-entry table: black, red, green, blue
    bool control = true;
    int disposal = 0;
    int transparent = -1;
    int delay = 0; // 1/100 s
};

// LZW data of 2-bit indices: a clear code before every second pixel keeps every code 3
// bits wide, so the data can be written without a code table.
Bytes LzwData(const Bytes& indices) {
    Bytes data;
    unsigned bits = 0;
    int count = 0;
    const auto put = [&](unsigned code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0) {
            put(4); // clear
        }
        put(indices[i]);
    }
    put(5); // end
    if (count > 0) {
        data.push_back(static_cast<std::uint8_t>(bits));
    }
    Bytes blocks = {2}; // minimum code size
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t piece = std::min<std::size_t>(255, data.size() - at);
        blocks.push_back(static_cast<std::uint8_t>(piece));
        blocks.insert(blocks.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                      data.begin() + static_cast<std::ptrdiff_t>(at + piece));
    }
    blocks.push_back(0);
    return blocks;
}

Bytes MakeGif(int backgroundIndex, const std::vector<GifFrame>& frames, int screenHeight = 2) {
    Bytes file = {'G',
                  'I',
                  'F',
                  '8',
                  '9',
                  'a',
                  3,
                  0,
                  static_cast<std::uint8_t>(screenHeight),
                  static_cast<std::uint8_t>(screenHeight >> 8),
                  0x80 | 0x10 | 1,
                  static_cast<std::uint8_t>(backgroundIndex),
                  0};
    const Bytes table = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    file.insert(file.end(), table.begin(), table.end());
    for (const GifFrame& f : frames) {
        if (f.control) {
            const int flags = f.disposal << 2 | (f.transparent >= 0 ? 1 : 0);
            const Bytes block = {0x21,
                                 0xF9,
                                 4,
                                 static_cast<std::uint8_t>(flags),
                                 static_cast<std::uint8_t>(f.delay),
                                 static_cast<std::uint8_t>(f.delay >> 8),
                                 static_cast<std::uint8_t>(f.transparent < 0 ? 0 : f.transparent),
                                 0};
            file.insert(file.end(), block.begin(), block.end());
        }
        const Bytes descriptor = {0x2C,
                                  static_cast<std::uint8_t>(f.left),
                                  0,
                                  static_cast<std::uint8_t>(f.top),
                                  0,
                                  static_cast<std::uint8_t>(f.width),
                                  0,
                                  static_cast<std::uint8_t>(f.height),
                                  static_cast<std::uint8_t>(f.height >> 8),
                                  0};
        file.insert(file.end(), descriptor.begin(), descriptor.end());
        const Bytes data = LzwData(f.indices);
        file.insert(file.end(), data.begin(), data.end());
    }
    file.push_back(0x3B);
    return file;
}

constexpr std::uint8_t K = 0, R = 1, G = 2, B = 3; // the table's entries
const std::array<std::array<std::uint8_t, 3>, 4> COLOURS = {
    {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

Bytes Colours(const Bytes& entries) {
    Bytes rgb;
    for (const std::uint8_t e : entries) {
        rgb.insert(rgb.end(), COLOURS[e].begin(), COLOURS[e].end());
    }
    return rgb;
}

// Six frames on a red background (entry 1). Each frame's canvas, worked out by hand, is in
// SIX_FRAMES_SHOWN.
std::vector<GifFrame> SixFrames() {
    std::vector<GifFrame> frames(6);
    // 1: no control block; draws the top row's right two pixels, the rest is background.
    frames[0] = {1, 0, 2, 1, {G, B}, false};
    // 2: black is transparent from here on, so only the middle of the bottom row is drawn.
    frames[1] = {0, 1, 3, 1, {K, G, K}, true, 0, K, 5};
    // 3: the left column blue, to be restored to what was there before it (disposal 2).
    frames[2] = {0, 0, 1, 2, {B, B}, true, 2, K, 7};
    // 4: no control block: black stays transparent, the delay stays 70 ms, disposal 2 too.
    frames[3] = {2, 1, 1, 1, {K}, false};
    // 5: black drawn (no transparency), to be restored to the frame before the last shown.
    frames[4] = {1, 0, 2, 1, {K, K}, true, 3, -1, 9};
    // 6: one green pixel.
    frames[5] = {0, 0, 1, 1, {G}, true, 0, -1, 11};
    return frames;
}

const std::vector<Bytes> SIX_FRAMES_SHOWN = {
    {R, G, B, R, R, R}, {R, G, B, R, G, R}, {B, G, B, B, G, R},
    {R, G, B, R, G, R}, {R, K, K, R, G, R}, {G, G, B, R, G, R},
};
// The first frame has no control block: it stands for 100 ms, as browsers show it.
const int SIX_FRAMES_DELAYS[] = {100, 50, 70, 70, 90, 110};

Readout ReadGif(const Bytes& file, bool allFrames = true) {
    SourceReadOptions options;
    options.allFrames = allFrames;
    options.colours = true;
    return ReadGifPicture(file, "anim.gif", options);
}

TEST(GifReader, FramesAreCompositedAsWorkedOutByHand) {
    const Readout readout = ReadGif(MakeGif(R, SixFrames()));
    ASSERT_TRUE(readout.failure.Ok());
    EXPECT_FALSE(readout.cut);
    ASSERT_EQ(readout.frames.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(readout.frames[i].width, 3);
        EXPECT_EQ(readout.frames[i].height, 2);
        EXPECT_EQ(readout.frames[i].rgb, Colours(SIX_FRAMES_SHOWN[i]));
        EXPECT_EQ(readout.frames[i].delay, SIX_FRAMES_DELAYS[i]);
    }
    // Background index 0 leaves the first frame's undrawn pixels clear (white over white).
    const Readout clear = ReadGif(MakeGif(0, SixFrames()));
    ASSERT_TRUE(clear.failure.Ok());
    EXPECT_EQ(clear.frames[0].rgb, (Bytes{255, 255, 255, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255,
                                          255, 255, 255, 255, 255}));
}

// Where the reading stops, how many frames it keeps, and what it says: a file cut or
// damaged after complete frames keeps those (a frame read in part is left out) with a
// warning; one without a complete frame is refused.
TEST(GifReader, CutAndDamagedFilesKeepTheCompleteFramesBeforeTheBreak) {
    const Bytes whole = MakeGif(R, SixFrames());
    std::vector<GifFrame> outside = SixFrames();
    outside[2].left = 1; // 3 wide from column 1: past the screen's right edge
    outside[2].width = 3;
    outside[2].indices = {B, B, B, B, B, B};
    // The sixth frame's data start 8 bytes before its end: descriptor, code size, block.
    const std::size_t sixthData = whole.size() - 1 - LzwData({G}).size();
    const Outcome truncated{
        OutcomeCode::Truncated, OutcomeDetail::NotEnoughData, "anim.gif", {3, 2}};
    const auto warned = [](OutcomeCode code, std::int64_t frames) {
        return Outcome{code, OutcomeDetail::None, "anim.gif", {frames}};
    };
    const struct {
        const char* what;
        Bytes file;
        bool allFrames;
        std::size_t frames; // 0: refused with `outcome`
        Outcome outcome;    // the refusal, or the warning
    } cases[] = {
        {"whole", whole, true, 6, {}},
        {"whole, first frame only", whole, false, 1, {}},
        {"no end mark", Bytes(whole.begin(), whole.end() - 1), true, 6,
         warned(OutcomeCode::CutShort, 6)},
        {"cut inside the sixth frame's data",
         Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(sixthData + 2)), true, 5,
         warned(OutcomeCode::CutShort, 5)},
        {"cut inside the first frame's descriptor", Bytes(whole.begin(), whole.begin() + 30), false,
         0, truncated},
        {"a frame leaving the screen", MakeGif(R, outside), true, 2,
         warned(OutcomeCode::Damaged, 2)},
        {"screen and table only", Bytes(whole.begin(), whole.begin() + 25), true, 0, truncated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Readout readout = ReadGif(c.file, c.allFrames);
        if (c.frames == 0) {
            EXPECT_EQ(readout.failure, c.outcome);
            EXPECT_TRUE(readout.frames.empty());
            continue;
        }
        ASSERT_TRUE(readout.failure.Ok());
        EXPECT_EQ(readout.cut, !c.outcome.Ok());
        EXPECT_EQ(readout.warning, c.outcome);
        ASSERT_EQ(readout.frames.size(), c.frames);
        for (std::size_t i = 0; i < c.frames; ++i) {
            EXPECT_EQ(readout.frames[i].rgb, Colours(SIX_FRAMES_SHOWN[i])) << i;
        }
    }
}

// A frame whose data break off is never shown in part: alone it makes the file refused;
// after a complete frame it is left out. The first of its two data blocks holds 2040
// bits of 3-bit codes (a clear code and two pixels in 9 bits): 453 pixels, 151 rows of 3.
TEST(GifReader, AFrameCutInItsDataIsLeftOut) {
    GifFrame tall{0, 0, 3, 200, {}, false};
    for (int i = 0; i < 600; ++i) {
        tall.indices.push_back(static_cast<std::uint8_t>(1 + (i * 7 + i / 3) % 3));
    }
    const Bytes whole = MakeGif(0, {tall}, 200);
    const Readout complete = ReadGif(whole);
    ASSERT_TRUE(complete.failure.Ok());
    EXPECT_FALSE(complete.cut);
    EXPECT_EQ(complete.frames.front().rgb, Colours(tall.indices));
    // Screen, table, descriptor, code size and the first block, then part of the second.
    const std::size_t cutAt = 13 + 12 + 10 + 1 + 256 + 20;
    const Readout alone = ReadGif(Bytes(whole.begin(), whole.begin() + cutAt));
    EXPECT_EQ(
        alone.failure,
        (Outcome{OutcomeCode::Truncated, OutcomeDetail::NotEnoughData, "anim.gif", {3, 200}}));
    EXPECT_TRUE(alone.frames.empty());
    // The same frame after a whole one: one frame, the whole one.
    const Bytes two = MakeGif(0, {tall, tall}, 200);
    const std::size_t firstFrame = whole.size() - 1 - 13 - 12;
    const Readout second =
        ReadGif(Bytes(two.begin(), two.begin() + static_cast<std::ptrdiff_t>(firstFrame + cutAt)));
    ASSERT_TRUE(second.failure.Ok());
    EXPECT_TRUE(second.cut);
    ASSERT_EQ(second.frames.size(), 1u);
    EXPECT_EQ(second.frames.front().rgb, Colours(tall.indices));
    EXPECT_EQ(second.warning,
              (Outcome{OutcomeCode::CutShort, OutcomeDetail::None, "anim.gif", {1}}));
}

// Browsers and viewers show a frame of delay 0 or 1 (1/100 s), or one without a control
// block, for about 100 ms; longer delays are kept.
TEST(GifReader, ShortDelaysStandForATenthOfASecond) {
    const struct {
        bool control;
        int centiseconds;
        int milliseconds;
    } cases[] = {{false, 0, 100}, {true, 0, 100}, {true, 1, 100},
                 {true, 2, 20},   {true, 7, 70},  {true, 300, 3000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.centiseconds) + (c.control ? " cs" : " without control"));
        GifFrame frame{0, 0, 3, 2, {R, G, B, K, R, G}, c.control};
        frame.delay = c.centiseconds;
        const Readout readout = ReadGif(MakeGif(0, {frame}));
        ASSERT_TRUE(readout.failure.Ok());
        ASSERT_EQ(readout.frames.size(), 1u);
        EXPECT_EQ(readout.frames.front().delay, c.milliseconds);
    }
}

TEST(GifReader, RefusesImpossibleScreensWithTheirOutcomes) {
    Bytes wide = MakeGif(R, SixFrames());
    wide[6] = 0x00;
    wide[7] = 0x80; // 32768 wide
    Bytes empty = MakeGif(R, SixFrames());
    empty[8] = 0; // 0 high
    Bytes huge = MakeGif(R, SixFrames());
    huge[6] = huge[8] = 0x80;
    huge[7] = huge[9] = 0x3E; // 16000 x 16000, within the limit, from a few bytes
    const struct {
        const char* what;
        Bytes file;
        Outcome outcome;
    } cases[] = {
        {"wider than the limit",
         wide,
         {OutcomeCode::PictureTooLarge, OutcomeDetail::None, "anim.gif", {32768, 2, 268435456}}},
        {"no height",
         empty,
         {OutcomeCode::InvalidSize, OutcomeDetail::SideRange, "anim.gif", {3, 0}}},
        {"more pixels than the file can code",
         huge,
         {OutcomeCode::Truncated, OutcomeDetail::NotEnoughData, "anim.gif", {16000, 16000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadGif(c.file).failure, c.outcome);
    }
}

} // namespace
