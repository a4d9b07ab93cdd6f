// Tests of where --coding auto writes the dense coding: at depths 1, 2 and 4 only, when
// it is the smallest, and with copies from the whole frame only in full frames of a
// conversion that asks for them.
#include "conversion_request.h"
#include "file_request.h"

#include "writer_test_support.h"

#include "zentra_format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

// A 120 x 60 screen: white, a frame, rows of repeated glyph-like marks, and a box whose
// place moves with `frame`, so that an animation's delta records stay small.
Bytes Screen(int frame) {
    const int width = 120;
    const int height = 60;
    const std::string header = "P5\n120 60\n255\n";
    Bytes bytes(header.begin(), header.end());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            const bool glyph = y % 12 > 3 && y % 12 < 10 && (x * 3 + y % 12) % 7 < 3 && x < 100;
            const bool box = x >= 10 + frame * 20 && x < 18 + frame * 20 && y >= 48 && y < 56;
            bytes.push_back(edge || glyph || box ? 0 : 255);
        }
    }
    return bytes;
}

struct Written {
    std::vector<RecordHeader> headers;
};

Written Convert(const std::vector<std::uint32_t>& codes, CodingChoice coding, DenseWindow window) {
    ScratchFolder folder("dense_choice");
    std::vector<std::string> paths;
    for (int frame = 0; frame < 3; ++frame) {
        paths.push_back(folder.File("s" + std::to_string(frame) + ".pgm"));
        writer_test::WriteWholeFile(paths.back(), Screen(frame));
    }
    ConversionRequest request = writer_test::FileRequest(paths, codes, true, 100);
    request.coding = coding;
    request.denseWindow = window;
    Written written;
    if (RunConversion(request, {}) != Outcome{}) {
        ADD_FAILURE() << "the conversion fails";
        return written;
    }
    const Bytes file = writer_test::ReadWholeFile(folder.File("s0.ztr"));
    for (std::size_t at = 0; at + RECORD_HEADER_SIZE <= file.size();) {
        std::array<std::uint8_t, RECORD_HEADER_SIZE> head{};
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), RECORD_HEADER_SIZE,
                    head.begin());
        written.headers.push_back(DecodeRecordHeader(head));
        if (written.headers.back().recordLength == 0) {
            break;
        }
        at += written.headers.back().recordLength;
    }
    return written;
}

TEST(DenseChoice, AutoCodesTheSubByteDepthsDenseAndFramesWholeOnlyWhenAsked) {
    const std::vector<std::uint32_t> codes = {0x10000, 0x40000, 0x80000};
    for (const DenseWindow window : {DenseWindow::Bytes512, DenseWindow::WholeStream}) {
        const bool whole = window == DenseWindow::WholeStream;
        SCOPED_TRACE(whole ? "whole frame" : "512 bytes");
        const Written written = Convert(codes, CodingChoice::Auto, window);
        // Three frames and the closing delta back to the first, for each of three types.
        ASSERT_EQ(written.headers.size(), 12u);
        for (std::size_t k = 0; k < written.headers.size(); ++k) {
            const RecordHeader& h = written.headers[k];
            SCOPED_TRACE(k);
            const bool delta = (h.layout & RECORD_DELTA) != 0;
            if (h.depth == 8) {
                EXPECT_NE(h.coding, PixelCoding::Dense);
                continue;
            }
            if (!delta) {
                EXPECT_EQ(h.coding, PixelCoding::Dense) << "the full frame of a screen";
            }
            EXPECT_EQ(h.wholeStream, whole && !delta && h.coding == PixelCoding::Dense);
        }
    }
}

TEST(DenseChoice, OtherCodingsNeverWriteIt) {
    for (const CodingChoice coding : {CodingChoice::RunLength, CodingChoice::Squash}) {
        const Written written = Convert({0x10000, 0x20008}, coding, DenseWindow::WholeStream);
        ASSERT_EQ(written.headers.size(), 8u);
        for (const RecordHeader& h : written.headers) {
            EXPECT_NE(h.coding, PixelCoding::Dense);
            EXPECT_FALSE(h.wholeStream);
        }
    }
}

} // namespace
