// The device library on records built here: run-length cases worked out by hand, every
// depth and order (also those the writer does not write yet) streamed and placed as
// delta records, the walk's checks on damaged files, finding a panel's record and
// stepping through an animation.
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace device_test;

// A 1-bit row-order record of the given size holding the coded bytes.
Bytes RowRecordFile(int width, int height, const Bytes& coded) {
    return MakeRecord(ZTR_ORDER_ROWS, 1, width, height, coded);
}

struct RunLengthCase {
    const char* name;
    int width; // 1-bit rows of one row: (width + 7) / 8 unpacked bytes
    Bytes coded;
    Bytes unpacked;
};

TEST(DeviceDecoderTest, RunLengthCasesWorkedOutByHand) {
    const Bytes fives(257, 5);
    Bytes fivesThenNine = fives;
    fivesThenNine.push_back(9);
    const RunLengthCase cases[] = {
        {"leading zero takes a count", 32, {0, 3}, {0, 0, 0, 0}},
        {"single leading zero", 16, {0, 0, 5}, {0, 5}},
        {"pair then literal", 24, {7, 7, 0, 7}, {7, 7, 7}},
        {"count 254 then a literal equal to the run", 258 * 8, {5, 5, 254, 5, 9}, fivesThenNine},
        {"count 255 reads 257 bytes", 257 * 8, {1, 1, 255}, Bytes(257, 1)},
        {"literals", 24, {1, 2, 3}, {1, 2, 3}},
        {"run cut at the stream's end", 16, {4, 4, 200}, {4, 4}},
    };
    for (const RunLengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = RowRecordFile(c.width, 1, c.coded);
        const ztr_source source = MemorySource(file);
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
        for (const std::uint16_t pull : {1, 2, 1000}) {
            int status = 0;
            EXPECT_EQ(DecodeStream(MemorySource(file), record, pull, status), c.unpacked);
            EXPECT_EQ(status, ZTR_END);
            CallbackFile callbackFile{&file};
            EXPECT_EQ(DecodeStream(CallbackSource(callbackFile), record, pull, status), c.unpacked);
            EXPECT_EQ(status, ZTR_END);
        }
    }
}

// A run whose count byte is the first byte of the callback's second chunk of 16.
TEST(DeviceDecoderTest, RunCountInTheNextChunk) {
    Bytes coded;
    for (std::uint8_t b = 1; b <= 15; ++b) {
        coded.push_back(b);
    }
    coded.push_back(15); // the 16th byte: a repeat of 15
    coded.push_back(2);  // its count, in the next chunk
    coded.push_back(9);
    Bytes unpacked(coded.begin(), coded.begin() + 15);
    unpacked.insert(unpacked.end(), {15, 15, 15, 9});
    const Bytes file = RowRecordFile(static_cast<int>(unpacked.size()) * 8, 1, coded);
    ztr_record record;
    const ztr_source memory = MemorySource(file);
    ASSERT_EQ(ztr_read_record(&memory, 0, &record), ZTR_OK);
    CallbackFile callbackFile{&file};
    int status = 0;
    EXPECT_EQ(DecodeStream(CallbackSource(callbackFile), record, 100, status), unpacked);
    EXPECT_EQ(status, ZTR_END);
}

TEST(DeviceDecoderTest, TenByThreeRowsByHand) {
    // Rows 1000000011, 0100000001, 1110000010 (1 light): two bytes a row, the second
    // with pixels 8 and 9 in bits 7 and 6.
    const Bytes unpacked = {0x80, 0xC0, 0x40, 0x40, 0xE0, 0x80};
    const Bytes file = MakeRecord(ZTR_ORDER_ROWS, 1, 10, 3, Encode(unpacked));
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    EXPECT_EQ(record.unpacked_size, 6u);
    EXPECT_EQ(record.data_offset, 12u);
    int status = 0;
    EXPECT_EQ(DecodeStream(source, record, 4, status), unpacked);
}

// Whether a 16-bit lay-out stores the RGB565 value high byte first.
bool HighByteFirst(int depth, std::uint8_t layout) {
    return depth == 16 && ((layout & ZTR_LAYOUT_REVERSED) != 0) != ((layout & 3) == 1);
}

// A picture of values that change a little from pixel to pixel in every channel, as
// photos do, so that the squash coding takes delta codes at depths 8 to 24 (RGB565
// channels at depth 16, in the lay-out's byte order).
Picture MakeSmoothPicture(int width, int height, int depth, std::uint8_t layout, int seed) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned a = static_cast<unsigned>(x * 3 + y + seed * 5);
            const unsigned b = static_cast<unsigned>(y * 2 + x + seed);
            const unsigned c = static_cast<unsigned>(x * y / 3 + seed * 3);
            std::uint32_t v = 0;
            if (depth < 8) {
                v = (a / 4) % (1u << depth);
            } else if (depth == 8) {
                v = a & 0xFF;
            } else if (depth == 16) {
                v = (a & 31) << 11 | (b & 63) << 5 | (c & 31);
                if (HighByteFirst(depth, layout)) {
                    v = (v >> 8) | ((v & 0xFF) << 8);
                }
            } else {
                v = (a & 0xFF) | (b & 0xFF) << 8 | (c & 0xFF) << 16;
            }
            picture.values.push_back(v);
        }
    }
    return picture;
}

// A picture of asymmetric pixel values for a depth: no two neighbours alike.
Picture MakePicture(int width, int height, int depth, int seed) {
    Picture picture{width, height, {}};
    const std::uint64_t limit = depth >= 32 ? 0 : (std::uint64_t{1} << depth);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint64_t v =
                static_cast<std::uint64_t>(x * 131 + y * 977 + seed * 31 + x * y * 7 + 1) *
                2654435761u;
            picture.values.push_back(static_cast<std::uint32_t>((v >> 7) % limit));
        }
    }
    return picture;
}

// Pixels per byte along the packed axis.
int PixelsPerByte(int depth) {
    return depth < 8 ? 8 / depth : 1;
}

// A rectangle that starts on a whole byte along the packed axis and is cut at the
// frame's right or bottom edge there, as the writer aligns them.
Rect AlignedRect(int depth, int order, int width, int height, Rect r) {
    const int p = PixelsPerByte(depth);
    const bool packedX = order == ZTR_ORDER_ROWS || order == ZTR_ORDER_BANDED_COLUMNS;
    int& start = packedX ? r.x : r.y;
    int& size = packedX ? r.width : r.height;
    const int end = start + size;
    start = start / p * p;
    size = (end + p - 1) / p * p - start;
    r.width = std::min(r.width, width - r.x);
    r.height = std::min(r.height, height - r.y);
    return r;
}

class EveryDepthTest : public ::testing::TestWithParam<int> {};

void CheckDeltaRecords(int depth, std::uint8_t layout, PixelCoding coding, bool smooth, int width,
                       int height);

// For every lay-out, coding and kind of picture: a full frame and two delta records (one
// cut at the bottom right corner) built from the reference packing; the stream of each
// record is its reference packing, and the frames built from them equal the reference
// packing of the pictures, whether the squash window is a ring of its own or the frame
// buffer itself; the functions without a window refuse squash records.
TEST_P(EveryDepthTest, DeltaRecordsBuildThePackedFrames) {
    const int depth = GetParam();
    const int width = 19;
    const int height = 13;
    for (int variant = 0; variant < 4; ++variant) {
        const PixelCoding coding = variant < 2 ? PixelCoding::RunLength : PixelCoding::Squash;
        const bool smooth = variant % 2 == 1;
        SCOPED_TRACE(std::string(coding == PixelCoding::Squash ? "squash" : "run-length") +
                     (smooth ? ", smooth" : ", asymmetric"));
        for (std::uint8_t layout = 0; layout <= 0x1F; ++layout) {
            if (layout & ZTR_LAYOUT_PLANAR) {
                continue;
            }
            CheckDeltaRecords(depth, layout, coding, smooth, width, height);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, EveryDepthTest, ::testing::Values(1, 2, 4, 8, 16, 24));

void CheckDeltaRecords(int depth, std::uint8_t layout, PixelCoding coding, bool smooth, int width,
                       int height) {
    {
        SCOPED_TRACE("layout " + std::to_string(layout));
        const int order = layout & ZTR_LAYOUT_ORDER;
        auto make = [&](int seed) {
            return smooth ? MakeSmoothPicture(width, height, depth, layout, seed)
                          : MakePicture(width, height, depth, seed);
        };
        const Picture pictures[] = {make(0), make(1), make(2)};
        const Rect full{0, 0, width, height};
        const Rect rects[] = {full, AlignedRect(depth, order, width, height, {3, 2, 6, 5}),
                              AlignedRect(depth, order, width, height, {11, 9, 8, 4})};
        // Frame k is picture 0 with the rectangles 1 to k taken from picture k.
        Picture expected = pictures[0];
        Bytes file;
        std::vector<Bytes> frames;
        std::vector<Bytes> streams;
        for (int k = 0; k < 3; ++k) {
            const Rect& r = rects[k];
            const bool inverted = (layout & ZTR_LAYOUT_INVERTED_Y) != 0;
            for (int j = 0; j < r.height; ++j) {
                const int row = inverted ? height - 1 - (r.y + j) : r.y + j;
                for (int i = 0; i < r.width; ++i) {
                    expected.values[row * width + r.x + i] = pictures[k].At(r.x + i, row);
                }
            }
            frames.push_back(PackReference(expected, depth, layout, full));
            streams.push_back(PackReference(expected, depth, layout, r));
            const DeltaHeader delta{static_cast<std::uint16_t>(10 * k),
                                    static_cast<std::uint16_t>(r.x),
                                    static_cast<std::uint16_t>(r.y)};
            const std::uint8_t flags = k == 2 ? ZTR_RECORD_LAST_FRAME : 0;
            const std::uint8_t recordLayout = static_cast<std::uint8_t>(layout | flags);
            Append(file,
                   MakeRecord(recordLayout, static_cast<std::uint8_t>(depth), r.width, r.height,
                              Encode(streams.back(), coding, layout,
                                     static_cast<std::uint8_t>(depth), r.width, r.height),
                              k == 0 ? nullptr : &delta, {}, coding));
        }
        int status = 0;
        const ztr_source source = MemorySource(file);
        const auto records = WalkRecords(source, status);
        ASSERT_EQ(records.size(), 3u);
        Bytes frame(frames[0].size(), 0x5A);
        Bytes window(ZTR_WINDOW_SIZE, 0xEE);
        // Found like any other record; the functions without a window say that they need one.
        ztr_record found;
        ASSERT_EQ(ztr_find(&source, static_cast<std::uint8_t>(depth), layout, 0, 0, &found),
                  ZTR_OK);
        EXPECT_EQ(found.offset, 0u);
        if (coding == PixelCoding::Squash) {
            ztr_decoder decoder;
            EXPECT_EQ(ztr_begin(&decoder, &source, &records[1]), ZTR_NO_WINDOW);
            EXPECT_EQ(ztr_read(&decoder, frame.data(), 1), 0u);
            EXPECT_EQ(ztr_apply(&source, &records[0], &records[1], frame.data(),
                                static_cast<std::uint32_t>(frame.size())),
                      ZTR_NO_WINDOW);
            EXPECT_EQ(frame, Bytes(frames[0].size(), 0x5A));
        }
        // The same frames built with the frame buffer as the window.
        Bytes in_frame(frames[0].size(), 0xA5);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE("frame " + std::to_string(k));
            EXPECT_EQ(records[k].depth, depth);
            EXPECT_EQ(records[k].unpacked_size, streams[k].size());
            for (const std::uint16_t pull : {1, 7, 1000}) {
                EXPECT_EQ(DecodeStream(source, records[k], pull, status), streams[k]);
                EXPECT_EQ(status, ZTR_END);
            }
            CallbackFile callbackFile{&file};
            EXPECT_EQ(DecodeStream(CallbackSource(callbackFile), records[k], 5, status),
                      streams[k]);
            ASSERT_EQ(ztr_apply_window(&source, &records[0], &records[k], frame.data(),
                                       static_cast<std::uint32_t>(frame.size()), window.data()),
                      ZTR_OK);
            EXPECT_EQ(frame, frames[k]);
            ASSERT_EQ(ztr_apply_in_frame(&source, &records[0], &records[k], in_frame.data(),
                                         static_cast<std::uint32_t>(in_frame.size())),
                      ZTR_OK);
            EXPECT_EQ(in_frame, frames[k]);
        }
    }
}

// Placement worked out by hand: a 10 x 10 1-bit banded-rows frame (two bands of ten
// bytes) takes a 2 x 2 delta at (4, 8) into bytes 14 and 15 of the second band.
TEST(DeviceDecoderTest, BandedRowsDeltaByHand) {
    Bytes file = MakeRecord(ZTR_ORDER_BANDED_ROWS, 1, 10, 10, Encode(Bytes(20, 0)));
    const DeltaHeader delta{5, 4, 8};
    Append(file, MakeRecord(ZTR_ORDER_BANDED_ROWS, 1, 2, 2, Encode({0x80, 0x40}), &delta));
    const ztr_source source = MemorySource(file);
    int status = 0;
    const auto records = WalkRecords(source, status);
    ASSERT_EQ(records.size(), 2u);
    Bytes frame(20, 0xFF);
    ASSERT_EQ(ztr_apply(&source, &records[0], &records[0], frame.data(), 20), ZTR_OK);
    ASSERT_EQ(ztr_apply(&source, &records[0], &records[1], frame.data(), 20), ZTR_OK);
    Bytes expected(20, 0);
    expected[14] = 0x80;
    expected[15] = 0x40;
    EXPECT_EQ(frame, expected);
}

// The worked example of format/zentra_format.h: a 24 x 3 monochrome squash record with a
// palette of two entries, rows 3C 81 FF each. An older build walks past it and finds no
// palette in it.
TEST(DeviceDecoderTest, SquashRecordByHand) {
    const Bytes file = {0x17, 0x00, 0x00, 0x00, 0x02, 0xA2, 0x00, 0xC1, 0x18, 0x00, 0x03, 0x00,
                        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x02, 0x3C, 0x81, 0xFF, 0x45};
    const Bytes rows = {0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF};
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    EXPECT_EQ(record.length, 23u);
    ztr_record next = record;
    EXPECT_EQ(ztr_next_record(&source, &next), ZTR_END);
    int status = 0;
    ztr_decoder decoder;
    EXPECT_EQ(record.depth, 1);
    EXPECT_EQ(record.layout, ZTR_RECORD_PALETTE);
    EXPECT_EQ(record.data_offset, 18u);
    EXPECT_EQ(record.unpacked_size, 9u);
    for (const std::uint16_t pull : {1, 2, 1000}) {
        EXPECT_EQ(DecodeStream(source, record, pull, status), rows);
        EXPECT_EQ(status, ZTR_END);
        CallbackFile callbackFile{&file};
        EXPECT_EQ(DecodeStream(CallbackSource(callbackFile), record, pull, status), rows);
        EXPECT_EQ(status, ZTR_END);
    }
    EXPECT_EQ(ztr_begin(&decoder, &source, &record), ZTR_NO_WINDOW);
    Bytes frame(9, 0x55);
    EXPECT_EQ(ztr_apply(&source, &record, &record, frame.data(), 9), ZTR_NO_WINDOW);
    EXPECT_EQ(frame, Bytes(9, 0x55));
}

// Squash pixel data by hand (depth 8, one row of 40 bytes, or 600 where the line above
// lies beyond the window): a token whose bytes the callback's chunks of 16 cut apart, and
// streams that end damaged (the bytes before the damage still come).
TEST(DeviceDecoderTest, SquashTokensAcrossChunksAndDamagedStreams) {
    Bytes verbatim = {0x0D};
    for (std::uint8_t b = 1; b <= 14; ++b) {
        verbatim.push_back(static_cast<std::uint8_t>(b * 3));
    }
    const struct {
        const char* name;
        Bytes coded;
        int width;
        std::size_t good; // unpacked bytes before the damage; width when none
    } cases[] = {
        // 14 verbatim bytes (0D, then bytes 1 to 14), then at bytes 15 and 16 a far copy
        // over a chunk's end (98 0B: 25 units from 12 back) and a copy of the 1 left
        // from R (60).
        {"a far copy over a chunk's end",
         [&] {
             Bytes b = verbatim;
             b.insert(b.end(), {0x98, 0x0B, 0x60});
             return b;
         }(),
         40, 40},
        {"a length above the longest",
         [&] {
             Bytes b = verbatim;
             b.insert(b.end(), {0x1F, 0xFF, 0x7F});
             return b;
         }(),
         40, 14},
        {"the line above beyond the window",
         [&] {
             Bytes b = verbatim;
             b.push_back(0x40);
             return b;
         }(),
         600, 14},
        {"a delta code past its run",
         [&] {
             Bytes b = verbatim;
             b.insert(b.end(), {0x20, 0x80});
             return b;
         }(),
         40, 14},
        {"a delta escape cut short",
         [&] {
             Bytes b = verbatim;
             b.insert(b.end(), {0x20, 0xC0});
             return b;
         }(),
         40, 14},
        {"a token cut short",
         [&] {
             Bytes b = verbatim;
             b.insert(b.end(), {0x9F});
             return b;
         }(),
         40, 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Unpacked: the 14 verbatim bytes, then 26 copied from 12 back.
        Bytes unpacked(verbatim.begin() + 1, verbatim.end());
        for (int i = 0; i < 26; ++i) {
            unpacked.push_back(unpacked[unpacked.size() - 12]);
        }
        const Bytes file =
            MakeRecord(ZTR_ORDER_ROWS, 8, c.width, 1, c.coded, nullptr, {}, PixelCoding::Squash);
        const ztr_source source = MemorySource(file);
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
        CallbackFile callbackFile{&file};
        int status = 0;
        for (const ztr_source& from : {source, CallbackSource(callbackFile)}) {
            const Bytes out = DecodeStream(from, record, 3, status);
            EXPECT_EQ(status, c.good == static_cast<std::size_t>(c.width) ? ZTR_END : ZTR_DAMAGED);
            EXPECT_EQ(out.size(), c.good);
            EXPECT_EQ(out,
                      Bytes(unpacked.begin(), unpacked.begin() + static_cast<long>(out.size())));
        }
        EXPECT_EQ(callbackFile.readsOutside, 0);
    }
}

TEST(DeviceDecoderTest, AFailedReadInASquashRecordIsReportedAsSuch) {
    // 14 verbatim bytes and a far copy (98 0B) of 26 from 12 back, pulled 14 at a time; the
    // reads fail from byte 28 on, so the first chunk (bytes 12 to 27) gives the 14 verbatim
    // bytes and the read of the copy fails.
    Bytes coded = {0x0D};
    for (std::uint8_t b = 1; b <= 14; ++b) {
        coded.push_back(static_cast<std::uint8_t>(b * 3));
    }
    coded.insert(coded.end(), {0x98, 0x0B});
    const Bytes file =
        MakeRecord(ZTR_ORDER_ROWS, 8, 40, 1, coded, nullptr, {}, PixelCoding::Squash);
    CallbackFile failing{&file, 0, 28};
    const ztr_source source = CallbackSource(failing);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    int status = 0;
    EXPECT_EQ(DecodeStream(source, record, 14, status), Bytes(coded.begin() + 1, coded.end() - 2));
    EXPECT_EQ(status, ZTR_READ_FAILED);
}

struct MismatchCase {
    const char* name;
    std::uint8_t layout;
    std::uint8_t depth;
    int width, height;
    DeltaHeader delta;
    std::uint32_t frameSize; // of the 16 x 16 1-bit row-order frame: 32 bytes
};

TEST(DeviceDecoderTest, RecordsThatDoNotFitTheFrameAreRefused) {
    const MismatchCase cases[] = {
        {"dx not on a byte", ZTR_ORDER_ROWS, 1, 8, 2, {0, 4, 0}, 32},
        {"past the right edge", ZTR_ORDER_ROWS, 1, 16, 2, {0, 8, 0}, 32},
        {"past the bottom", ZTR_ORDER_ROWS, 1, 8, 4, {0, 0, 14}, 32},
        {"other depth", ZTR_ORDER_ROWS, 2, 4, 2, {0, 0, 0}, 32},
        {"other order", ZTR_ORDER_COLUMNS, 1, 8, 8, {0, 0, 0}, 32},
        {"frame buffer too small", ZTR_ORDER_ROWS, 1, 8, 2, {0, 0, 0}, 31},
    };
    for (const MismatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = MakeRecord(ZTR_ORDER_ROWS, 1, 16, 16, Encode(Bytes(32, 0x11)));
        const Bytes unpacked(static_cast<std::size_t>((c.width * c.depth + 7) / 8 * c.height),
                             0x22);
        Append(file, MakeRecord(c.layout, c.depth, c.width, c.height, Encode(unpacked), &c.delta));
        const ztr_source source = MemorySource(file);
        int status = 0;
        const auto records = WalkRecords(source, status);
        ASSERT_EQ(records.size(), 2u);
        Bytes frame(32, 0x33);
        EXPECT_EQ(ztr_apply(&source, &records[0], &records[1], frame.data(), c.frameSize),
                  ZTR_MISMATCH);
        EXPECT_EQ(frame, Bytes(32, 0x33)) << "the frame stays as it was";
    }
}

// Two good records, then the damage; the walk lists the good ones and ends in an error.
struct DamageCase {
    const char* name;
    std::size_t offset; // into the third record
    Bytes bytes;        // written there (or the file cut at offset when empty)
    int result;
};

TEST(DeviceDecoderTest, DamagedFilesEndTheWalkWithAnError) {
    const Bytes good = MakeRecord(ZTR_ORDER_ROWS, 1, 10, 3, Encode({1, 2, 3, 4, 5, 6}));
    const DamageCase cases[] = {
        {"cut inside the header", 7, {}, ZTR_DAMAGED},
        {"cut inside the pixel data", 15, {}, ZTR_DAMAGED},
        {"wrong signature", 5, {0xA3}, ZTR_DAMAGED},
        {"record length below the header", 0, {11, 0, 0, 0}, ZTR_DAMAGED},
        {"record length past the end", 0, {19, 0, 0, 0}, ZTR_DAMAGED},
        {"palette that the length cannot hold", 6, {0x40, 2}, ZTR_DAMAGED},
        {"palette of a depth above 24", 6, {0x40, 25}, ZTR_DAMAGED},
        {"delta header that the length cannot hold", 0, {14, 0, 0, 0, 2, 0xA2, 0x20}, ZTR_DAMAGED},
        {"nothing wrong", 0, {18}, ZTR_END},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = good;
        Append(file, good);
        Bytes third = good;
        if (c.bytes.empty()) {
            third.resize(c.offset);
        } else {
            std::copy(c.bytes.begin(), c.bytes.end(), third.begin() + c.offset);
        }
        Append(file, third);
        int status = 0;
        EXPECT_EQ(WalkRecords(MemorySource(file), status).size(), c.result == ZTR_END ? 3u : 2u);
        EXPECT_EQ(status, c.result);
        CallbackFile callbackFile{&file};
        EXPECT_EQ(WalkRecords(CallbackSource(callbackFile), status).size(),
                  c.result == ZTR_END ? 3u : 2u);
        EXPECT_EQ(status, c.result);
        EXPECT_EQ(callbackFile.readsOutside, 0);
    }
}

TEST(DeviceDecoderTest, PixelDataCutShortIsDamagedAndFailedReadsAreReported) {
    // 4 x 8 bytes of rows, but the record holds the coding of only 20 of them.
    Bytes unpacked(20);
    for (std::size_t i = 0; i < unpacked.size(); ++i) {
        unpacked[i] = static_cast<std::uint8_t>(i * 37 + 1);
    }
    const Bytes file = MakeRecord(ZTR_ORDER_ROWS, 8, 4, 8, Encode(unpacked));
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    int status = 0;
    EXPECT_EQ(DecodeStream(source, record, 7, status), unpacked);
    EXPECT_EQ(status, ZTR_DAMAGED);
    CallbackFile callbackFile{&file};
    EXPECT_EQ(DecodeStream(CallbackSource(callbackFile), record, 7, status), unpacked);
    EXPECT_EQ(status, ZTR_DAMAGED);

    CallbackFile failing{&file, 0, 20};
    const ztr_source failingSource = CallbackSource(failing);
    EXPECT_EQ(ztr_read_record(&failingSource, 0, &record), ZTR_OK);
    EXPECT_LT(DecodeStream(failingSource, record, 7, status).size(), 20u);
    EXPECT_EQ(status, ZTR_READ_FAILED);
    failing.failAt = 5;
    EXPECT_EQ(ztr_read_record(&failingSource, 0, &record), ZTR_READ_FAILED);
}

TEST(DeviceDecoderTest, RecordsWithoutAPackingAreWalkedButNotDecoded) {
    const struct {
        std::uint8_t layout;
        std::uint8_t depth;
    } cases[] = {{ZTR_LAYOUT_PLANAR, 16},
                 {ZTR_LAYOUT_PLANAR, 3},
                 {ZTR_LAYOUT_PLANAR, 1}, // planes exist at depths 2 and 4 only
                 {ZTR_LAYOUT_PLANAR | ZTR_LAYOUT_INVERTED_Y, 8},
                 {ZTR_ORDER_ROWS, 3},
                 {ZTR_ORDER_COLUMNS, 32}};
    for (const auto& c : cases) {
        const Bytes file = MakeRecord(c.layout, c.depth, 4, 4, {1, 2, 3});
        const ztr_source source = MemorySource(file);
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
        EXPECT_EQ(record.unpacked_size, 0u);
        ztr_decoder decoder;
        EXPECT_EQ(ztr_begin(&decoder, &source, &record), ZTR_UNSUPPORTED);
    }
}

// Two sequences: a 1-bit banded one of three frames and an 8-bit single picture. The
// delta records may come in the other coding, as "ztr convert --coding auto" mixes them.
Bytes TwoSequences(PixelCoding deltas = PixelCoding::RunLength) {
    Bytes file;
    const DeltaHeader d1{70, 0, 0};
    const DeltaHeader d2{70, 8, 8};
    Append(file, MakeRecord(0x06, 1, 16, 16, Encode(Bytes(32, 0))));
    Append(file, MakeRecord(0x06, 1, 16, 8, Encode(Bytes(16, 1), deltas, 0x06, 1, 16, 8), &d1, {},
                            deltas));
    Append(file, MakeRecord(0x06 | ZTR_RECORD_LAST_FRAME, 1, 8, 8,
                            Encode(Bytes(8, 2), deltas, 0x06, 1, 8, 8), &d2, {}, deltas));
    Append(file, MakeRecord(0x00, 8, 5, 3, Encode(Bytes(15, 3))));
    return file;
}

// The offsets of the file's records.
std::vector<std::uint32_t> Offsets(const ztr_source& source) {
    int status = 0;
    std::vector<std::uint32_t> offsets;
    for (const ztr_record& record : WalkRecords(source, status)) {
        offsets.push_back(record.offset);
    }
    return offsets;
}

TEST(DeviceDecoderTest, FindTakesTheFirstFullFrameOfDepthLayoutAndSize) {
    const Bytes file = TwoSequences();
    const ztr_source source = MemorySource(file);
    const auto at = Offsets(source);
    ASSERT_EQ(at.size(), 4u);
    const struct {
        std::uint8_t depth, layout;
        std::uint16_t width, height;
        int result;
        std::uint32_t offset;
    } cases[] = {
        {1, 0x06, 0, 0, ZTR_OK, at[0]},
        {1, 0x06 | ZTR_RECORD_LAST_FRAME, 16, 16, ZTR_OK, at[0]}, // flags are not compared
        {1, 0x06, 16, 8, ZTR_END, 0},                             // only delta records match
        {8, 0x00, 5, 3, ZTR_OK, at[3]},
        {8, 0x00, 5, 4, ZTR_END, 0},
        {1, 0x16, 0, 0, ZTR_END, 0},
    };
    for (const auto& c : cases) {
        ztr_record record;
        EXPECT_EQ(ztr_find(&source, c.depth, c.layout, c.width, c.height, &record), c.result);
        if (c.result == ZTR_OK) {
            EXPECT_EQ(record.offset, c.offset);
        }
    }
}

TEST(DeviceDecoderTest, FramesStepAndLoopPerDisplayType) {
    for (const PixelCoding deltas : {PixelCoding::RunLength, PixelCoding::Squash}) {
        SCOPED_TRACE(deltas == PixelCoding::Squash ? "squash deltas" : "run-length deltas");
        const Bytes file = TwoSequences(deltas);
        const ztr_source source = MemorySource(file);
        ztr_record first;
        ASSERT_EQ(ztr_find(&source, 1, 0x06, 16, 16, &first), ZTR_OK);
        ztr_record frame{};
        const auto at = Offsets(source);
        for (const std::uint32_t offset : {at[0], at[1], at[2], at[0], at[1]}) {
            ASSERT_EQ(ztr_next_frame(&source, &first, &frame), ZTR_OK);
            EXPECT_EQ(frame.offset, offset);
            EXPECT_EQ(frame.delay, 70);
        }
    }
    const Bytes file = TwoSequences();
    const ztr_source source = MemorySource(file);
    ztr_record frame{};
    // The 8-bit picture after the sequence is its own next frame.
    ztr_record single;
    ASSERT_EQ(ztr_find(&source, 8, 0, 0, 0, &single), ZTR_OK);
    frame = ztr_record{};
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(ztr_next_frame(&source, &single, &frame), ZTR_OK);
        EXPECT_EQ(frame.offset, single.offset);
        EXPECT_EQ(frame.delay, ZTR_DEFAULT_DELAY);
    }
}

// A sink that takes pieces until its budget is spent, then stops the stream.
struct StoppingSink {
    Bytes taken;
    int piecesLeft;
};

int TakeUntilSpent(void* context, const std::uint8_t* bytes, std::uint16_t count) {
    auto& sink = *static_cast<StoppingSink*>(context);
    sink.taken.insert(sink.taken.end(), bytes, bytes + count);
    return --sink.piecesLeft > 0;
}

// 29 unpacked bytes through a buffer of 8: pieces of 8, 8, 8 and 5.
TEST(DeviceDecoderTest, TheSinkStopsTheStreamAndTheDecoderGoesOn) {
    Bytes unpacked(29);
    for (std::size_t i = 0; i < unpacked.size(); ++i) {
        unpacked[i] = static_cast<std::uint8_t>(i / 3 * 7);
    }
    const Bytes file = MakeRecord(ZTR_ORDER_ROWS, 8, 29, 1, Encode(unpacked));
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
    const struct {
        int pieces;      // the sink stops after taking this many
        int result;      // of the first ztr_stream
        int statusAfter; // the decoder's status then
    } cases[] = {
        {1, ZTR_STOPPED, ZTR_OK},
        {3, ZTR_STOPPED, ZTR_OK},
        {4, ZTR_STOPPED, ZTR_END}, // stopped on the last piece: nothing remains
        {5, ZTR_OK, ZTR_END},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pieces);
        ztr_decoder decoder;
        ASSERT_EQ(ztr_begin(&decoder, &source, &record), ZTR_OK);
        std::uint8_t buffer[8];
        StoppingSink sink{{}, c.pieces};
        EXPECT_EQ(ztr_stream(&decoder, buffer, sizeof buffer, TakeUntilSpent, &sink), c.result);
        EXPECT_EQ(sink.taken.size(), std::min<std::size_t>(8u * c.pieces, 29u));
        EXPECT_EQ(decoder.status, c.statusAfter);
        sink.piecesLeft = 100;
        EXPECT_EQ(ztr_stream(&decoder, buffer, sizeof buffer, TakeUntilSpent, &sink), ZTR_OK);
        EXPECT_EQ(sink.taken, unpacked);
    }
}

} // namespace
