// The device library on dense records: the coding's worked example by hand; records that
// the writer's encoder codes at depths 1, 2 and 4, planar and not, in both windows and of
// odd sizes, against the host's reference decoder through every function that takes them;
// the windows each function has; and cut or damaged records.
#include "dense_bits.h"
#include "dense_decoder.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace device_test;

// A picture of values below 2^depth: repeated rows with a drifting stripe (copies from the
// line above and from nearby) over noise (literal runs).
Picture MakePicture(int width, int height, int depth, std::uint32_t seed) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const bool noise = (x / 5 + y) % 7 == 0;
            const std::uint32_t stripe = ((x + y / 3) / 4) & 3u;
            p.values.push_back((noise ? seed >> 16 : stripe) & ((1u << depth) - 1u));
        }
    }
    return p;
}

PixelStreamShape ShapeOf(std::uint8_t layout, int depth, int width, int height) {
    return *ShapeOfPixelStream(layout, static_cast<std::uint8_t>(depth),
                               static_cast<unsigned>(width), static_cast<unsigned>(height));
}

// The reference decoder's stream of the coded bytes; ok tells whether it was whole.
Bytes Reference(const Bytes& coded, const PixelStreamShape& shape, DenseWindow window, bool& ok,
                DenseLiterals literals = DenseLiterals::Whole) {
    Bytes out(shape.totalBytes);
    std::size_t used = 0;
    ok = DecodeDense(coded, shape, window, out, used, literals) == DenseResult::Ok;
    return out;
}

// The record placed whole into a frame buffer of its own size: the frame, or empty.
Bytes InFrame(const ztr_source& source, const ztr_record& record, int& status) {
    Bytes frame(record.unpacked_size, 0x5A);
    status = ztr_apply_in_frame(&source, &record, &record, frame.data(),
                                static_cast<std::uint32_t>(frame.size()));
    return status == ZTR_OK ? frame : Bytes{};
}

TEST(DenseRecordTest, WorkedExampleByHand) {
    // 24 x 3 pixels, rows 3C 81 FF, palette black and white: a literal run of 3, then 6
    // bytes from the line above; depth byte B1.
    const Bytes palette = {0, 0, 0, 0xFF, 0xFF, 0xFF};
    const Bytes file = MakeRecord(ZTR_ORDER_ROWS, 1, 24, 3, {0x39, 0x3C, 0x81, 0xFF, 0x20}, nullptr,
                                  palette, PixelCoding::Dense);
    ASSERT_EQ(file.size(), 23u);
    EXPECT_EQ(file[7], 0xB1);
    const ztr_source source = MemorySource(file);
    ztr_record record;
    ASSERT_EQ(ztr_find(&source, 1, ZTR_ORDER_ROWS, 24, 3, &record), ZTR_OK);
    EXPECT_EQ(record.depth, 1);
    EXPECT_EQ(record.coding, ZTR_CODING_DENSE);
    EXPECT_EQ(record.layout, ZTR_RECORD_PALETTE);
    EXPECT_EQ(record.data_offset, 18u);
    std::uint8_t red = 0, green = 0, blue = 0;
    ASSERT_EQ(ztr_palette(&source, &record, 1, &red, &green, &blue), ZTR_OK);
    EXPECT_EQ(red + green + blue, 3 * 255);
    ztr_decoder decoder;
    EXPECT_EQ(ztr_begin(&decoder, &source, &record), ZTR_NO_WINDOW);
    int status = 0;
    const Bytes rows = {0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF, 0x3C, 0x81, 0xFF};
    EXPECT_EQ(DecodeStream(source, record, 2, status), rows);
    EXPECT_EQ(status, ZTR_END);
    EXPECT_EQ(InFrame(source, record, status), rows);
}

// A literal AB, then a copy of 2 bytes from `distance` back (a new distance): within the
// 512-byte window up to 512 back (zeros before the start), with copies from the whole
// frame no further back than the start; one byte more is damage.
TEST(DenseRecordTest, CopiesReachTheirWindowAndNoFurther) {
    const struct {
        bool whole;
        unsigned distance;
        Bytes stream; // empty: damaged
    } cases[] = {
        {false, 1, {0xAB, 0xAB, 0xAB}},
        {false, 512, {0xAB, 0, 0}},
        {false, 513, {}},
        {true, 1, {0xAB, 0xAB, 0xAB}},
        {true, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.distance) + (c.whole ? " back in the frame" : " back"));
        Bytes coded;
        DenseBitWriter bits(coded);
        bits.Bit(0);
        bits.Gamma(1);
        bits.Byte(0xAB);
        bits.Bit(1);
        bits.Bit(1);
        bits.Gamma(((c.distance - 1) >> 8) + 1);
        bits.Byte(static_cast<std::uint8_t>(c.distance - 1));
        bits.Gamma(1);
        const Bytes file =
            MakeRecord(ZTR_ORDER_ROWS, 1, 24, 1, coded, nullptr, {}, PixelCoding::Dense, c.whole);
        const ztr_source source = MemorySource(file);
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&source, 0, &record), ZTR_OK);
        int status = 0;
        const Bytes out =
            c.whole ? InFrame(source, record, status) : DecodeStream(source, record, 64, status);
        EXPECT_EQ(status, c.stream.empty() ? ZTR_DAMAGED : (c.whole ? ZTR_OK : ZTR_END));
        if (!c.stream.empty()) {
            EXPECT_EQ(out, c.stream);
        }
    }
}

struct DenseCase {
    int depth;
    std::uint8_t layout;
    int width;
    int height;
};

class DenseAgainstReference : public ::testing::TestWithParam<DenseCase> {};

TEST_P(DenseAgainstReference, EveryFunctionGivesTheReferenceStream) {
    const DenseCase c = GetParam();
    const Picture picture = MakePicture(c.width, c.height, c.depth, 7u * c.width + c.layout);
    const Bytes stream = PackReference(picture, c.depth, c.layout, Rect{0, 0, c.width, c.height});
    const PixelStreamShape shape = ShapeOf(c.layout, c.depth, c.width, c.height);
    for (const DenseWindow window : {DenseWindow::Bytes512, DenseWindow::WholeStream}) {
        const bool whole = window == DenseWindow::WholeStream;
        SCOPED_TRACE(whole ? "frame window" : "512-byte window");
        const Bytes coded = EncodeDense(stream, shape, window);
        bool ok = false;
        ASSERT_EQ(Reference(coded, shape, window, ok), stream);
        ASSERT_TRUE(ok);
        const Bytes file = MakeRecord(c.layout, static_cast<std::uint8_t>(c.depth), c.width,
                                      c.height, coded, nullptr, {}, PixelCoding::Dense, whole);
        CallbackFile callbackFile{&file};
        const ztr_source memory = MemorySource(file);
        const ztr_source callback = CallbackSource(callbackFile);
        ztr_record record;
        ASSERT_EQ(ztr_read_record(&memory, 0, &record), ZTR_OK);
        ASSERT_EQ(record.unpacked_size, stream.size());
        EXPECT_EQ(record.coding, whole ? ZTR_CODING_DENSE_FRAME : ZTR_CODING_DENSE);
        int status = 0;
        for (const ztr_source& source : {memory, callback}) {
            EXPECT_EQ(InFrame(source, record, status), stream);
            Bytes frame(stream.size(), 0xA5);
            Bytes window512(ZTR_WINDOW_SIZE, 0xEE);
            const ztr_result placed =
                ztr_apply_window(&source, &record, &record, frame.data(),
                                 static_cast<std::uint32_t>(frame.size()), window512.data());
            for (const std::uint16_t pull : {1, 7, 4096}) {
                const Bytes out = DecodeStream(source, record, pull, status);
                if (whole) {
                    EXPECT_TRUE(out.empty());
                    EXPECT_EQ(status, ZTR_NEEDS_FRAME);
                } else {
                    EXPECT_EQ(out, stream) << "pull " << pull;
                    EXPECT_EQ(status, ZTR_END);
                }
            }
            EXPECT_EQ(placed, whole ? ZTR_NEEDS_FRAME : ZTR_OK);
            if (!whole) {
                EXPECT_EQ(frame, stream);
            }
        }
        if (c.layout & ZTR_LAYOUT_PLANAR) {
            ztr_decoder decoder;
            Bytes window512(ZTR_WINDOW_SIZE);
            EXPECT_EQ(ztr_begin_plane_window(&decoder, &memory, &record, 1, window512.data()),
                      whole ? ZTR_NEEDS_FRAME : ZTR_OK);
        }
        EXPECT_EQ(callbackFile.readsOutside, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    DepthsLayoutsAndSizes, DenseAgainstReference,
    ::testing::Values(DenseCase{1, ZTR_ORDER_ROWS, 37, 21}, DenseCase{1, ZTR_ORDER_COLUMNS, 21, 45},
                      DenseCase{1, ZTR_ORDER_BANDED_ROWS | ZTR_LAYOUT_REVERSED, 129, 19},
                      DenseCase{1, ZTR_ORDER_ROWS, 4500, 3}, // a line beyond 512 bytes
                      DenseCase{2, ZTR_ORDER_ROWS | ZTR_LAYOUT_INVERTED_Y, 45, 33},
                      DenseCase{2, ZTR_ORDER_BANDED_COLUMNS | ZTR_LAYOUT_PLANAR, 31, 23},
                      DenseCase{4, ZTR_ORDER_ROWS, 101, 50},
                      DenseCase{4, ZTR_ORDER_COLUMNS | ZTR_LAYOUT_PLANAR, 27, 61}));

// A delta record of the 512-byte window finds its copies in the lines it placed before,
// wherever it lies in the frame; one coded with copies from the whole frame is refused,
// leaving the frame as it was.
TEST(DenseRecordTest, DeltaRecordsLandInTheFrame) {
    const Picture full = MakePicture(64, 40, 1, 3);
    const Picture part = MakePicture(23, 17, 1, 11);
    const Bytes frameStream = PackReference(full, 1, ZTR_ORDER_ROWS, Rect{0, 0, 64, 40});
    const Bytes partStream = PackReference(part, 1, ZTR_ORDER_ROWS, Rect{0, 0, 23, 17});
    Bytes file = MakeRecord(ZTR_ORDER_ROWS, 1, 64, 40, Encode(frameStream));
    const DeltaHeader delta{40, 16, 9};
    const PixelStreamShape shape = ShapeOf(ZTR_ORDER_ROWS, 1, 23, 17);
    Append(file, MakeRecord(ZTR_ORDER_ROWS, 1, 23, 17,
                            EncodeDense(partStream, shape, DenseWindow::Bytes512), &delta, {},
                            PixelCoding::Dense));
    Append(file, MakeRecord(ZTR_ORDER_ROWS, 1, 23, 17,
                            EncodeDense(partStream, shape, DenseWindow::WholeStream), &delta, {},
                            PixelCoding::Dense, true));
    int status = 0;
    const auto records = WalkRecords(MemorySource(file), status);
    ASSERT_EQ(records.size(), 3u);
    const ztr_source source = MemorySource(file);
    Bytes expected = frameStream;
    for (int row = 0; row < 17; ++row) {
        std::copy_n(partStream.begin() + row * 3, 3, expected.begin() + (9 + row) * 8 + 2);
    }
    Bytes frame = frameStream;
    ASSERT_EQ(ztr_apply_in_frame(&source, &records[0], &records[1], frame.data(),
                                 static_cast<std::uint32_t>(frame.size())),
              ZTR_OK);
    EXPECT_EQ(frame, expected);
    frame = frameStream;
    EXPECT_EQ(ztr_apply_in_frame(&source, &records[0], &records[2], frame.data(),
                                 static_cast<std::uint32_t>(frame.size())),
              ZTR_NEEDS_FRAME);
    EXPECT_EQ(frame, frameStream);
}

// Every cut of a record's coded bytes, and every byte changed: the device tells damage as
// the reference decoder does and gives its bytes up to there, and reads nothing outside.
TEST(DenseRecordTest, CutAndDamagedRecordsEndInAnError) {
    const int width = 53;
    const int height = 29;
    const Picture picture = MakePicture(width, height, 2, 5);
    const Bytes stream = PackReference(picture, 2, ZTR_ORDER_ROWS, Rect{0, 0, width, height});
    const PixelStreamShape shape = ShapeOf(ZTR_ORDER_ROWS, 2, width, height);
    // Both windows, each with whole literal bytes and with a table, which ends the coded
    // bytes: cut within it, the record holds no codes.
    for (const int form : {0, 1, 2, 3}) {
        const DenseWindow window = form & 1 ? DenseWindow::WholeStream : DenseWindow::Bytes512;
        const DenseLiterals literals = form & 2 ? DenseLiterals::Table : DenseLiterals::Whole;
        const bool whole = window == DenseWindow::WholeStream;
        const Bytes coded = EncodeDense(stream, shape, window, literals);
        std::vector<Bytes> variants;
        for (std::size_t cut = 0; cut < coded.size(); cut += 3) {
            variants.emplace_back(coded.begin(), coded.begin() + static_cast<long>(cut));
        }
        for (std::size_t at = 0; at < coded.size(); ++at) {
            variants.push_back(coded);
            variants.back()[at] ^= static_cast<std::uint8_t>(0x5A + at);
        }
        for (std::size_t k = 0; k < variants.size(); ++k) {
            SCOPED_TRACE("form " + std::to_string(form) + ", variant " + std::to_string(k));
            bool ok = false;
            const Bytes reference = Reference(variants[k], shape, window, ok, literals);
            const Bytes file =
                MakeRecord(ZTR_ORDER_ROWS, 2, width, height, variants[k], nullptr, {},
                           PixelCoding::Dense, whole, literals == DenseLiterals::Table);
            CallbackFile callbackFile{&file};
            const ztr_source callback = CallbackSource(callbackFile);
            ztr_record record;
            ASSERT_EQ(ztr_read_record(&callback, 0, &record), ZTR_OK);
            int status = 0;
            if (whole) {
                const Bytes out = InFrame(callback, record, status);
                EXPECT_EQ(status, ok ? ZTR_OK : ZTR_DAMAGED);
                EXPECT_TRUE(!ok || out == reference);
            } else {
                const Bytes out = DecodeStream(callback, record, 16, status);
                EXPECT_EQ(status, ok ? ZTR_END : ZTR_DAMAGED);
                EXPECT_EQ(out, Bytes(reference.begin(),
                                     reference.begin() + static_cast<long>(out.size())));
            }
            EXPECT_EQ(callbackFile.readsOutside, 0);
        }
    }
}

} // namespace
