// The device library against the writer: for every record that the writer makes (the
// expected conversion outputs and conversions made here for every lay-out, depth and
// coding), the device's unpacked stream is the writer's (coding it again with the
// writer's coder gives the record's pixel data byte for byte), and frames built by
// placing the delta records into a frame buffer equal the full frames that the writer
// packs of the same pictures on their own, run-length coded.
#include "device_test_support.h"

#include "convert_images.h"
#include "exported_file.h"
#include "record_walk.h"
#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>

namespace {

using namespace device_test;
using writer_test::ReadWholeFile;

const std::filesystem::path DATA = ZENTRA_TEST_DATA;
const std::filesystem::path SAMPLES = DATA / ".." / ".." / "data" / "samples";

// The stream of a record coded with copies from the whole frame, which only a frame
// buffer that holds it whole can decode: placed into one of its own size.
Bytes DecodeInFrame(const ztr_source& source, const ztr_record& record, int& status) {
    Bytes frame(record.unpacked_size, 0x5A);
    status = ztr_apply_in_frame(&source, &record, &record, frame.data(),
                                static_cast<std::uint32_t>(frame.size()));
    return status == ZTR_OK ? frame : Bytes{};
}

// Checks one record's stream: memory and callback sources agree at any pull size, the
// stream has the record's unpacked size, and the writer's coder turns it back into the
// record's pixel data exactly. A dense record coded with copies from the whole frame
// is refused without a frame buffer and decoded in one.
Bytes CheckStream(const Bytes& file, const ztr_record& record, const std::string& where) {
    SCOPED_TRACE(where);
    const ztr_source memory = MemorySource(file);
    CallbackFile callbackFile{&file};
    const ztr_source callback = CallbackSource(callbackFile);
    int status = 0;
    Bytes stream;
    if ((record.coding & ZTR_CODING_DENSE_FRAME) == ZTR_CODING_DENSE_FRAME) {
        EXPECT_TRUE(DecodeStream(memory, record, 64, status).empty());
        EXPECT_EQ(status, ZTR_NEEDS_FRAME);
        if ((record.layout & ZTR_RECORD_DELTA) != 0) {
            return {}; // the writer gives delta records the 512-byte window
        }
        stream = DecodeInFrame(memory, record, status);
        EXPECT_EQ(status, ZTR_OK);
        EXPECT_EQ(DecodeInFrame(callback, record, status), stream);
    } else {
        stream = DecodeStream(memory, record, 4096, status);
        EXPECT_EQ(status, ZTR_END);
        for (const std::uint16_t pull : {1, 5, 64}) {
            EXPECT_EQ(DecodeStream(callback, record, pull, status), stream) << "pull " << pull;
            EXPECT_EQ(status, ZTR_END);
        }
    }
    EXPECT_EQ(stream.size(), record.unpacked_size);
    EXPECT_EQ(callbackFile.readsOutside, 0);
    const Bytes coded(file.begin() + record.data_offset,
                      file.begin() + record.offset + record.length);
    if (record.coding != ZTR_CODING_RUN_LENGTH) {
        const auto shape =
            ShapeOfPixelStream(record.layout, record.depth, record.width, record.height);
        EXPECT_TRUE(shape.has_value());
        if (record.coding == ZTR_CODING_SQUASH) {
            EXPECT_EQ(EncodeSquash(stream, *shape), coded);
        } else {
            const unsigned window = record.coding & ~ZTR_CODING_TABLE;
            EXPECT_EQ(EncodeDense(stream, *shape,
                                  window == ZTR_CODING_DENSE ? DenseWindow::Bytes512
                                                             : DenseWindow::WholeStream,
                                  (record.coding & ZTR_CODING_TABLE) != 0 ? DenseLiterals::Table
                                                                          : DenseLiterals::Whole),
                      coded);
        }
        return stream;
    }
    EXPECT_EQ(Encode(stream), coded);
    return stream;
}

TEST(WriterStreamTest, ExpectedOutputsWalkAndDecodeAsTheWriterWroteThem) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DATA / "expected")) {
        if (entry.path().extension() != ".ztr") {
            continue;
        }
        ++files;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const Bytes file = ReadWholeFile(entry.path().string());
        int status = 0;
        const auto records = WalkRecords(MemorySource(file), status);
        EXPECT_EQ(status, ZTR_END);
        const auto listed = ListRecords(entry.path().string());
        ASSERT_TRUE(listed);
        ASSERT_EQ(records.size(), listed->size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const ztr_record& r = records[i];
            const ListedRecord& l = (*listed)[i];
            EXPECT_EQ(r.length, l.header.recordLength);
            EXPECT_EQ(r.layout, l.header.layout);
            EXPECT_EQ(r.depth, l.header.depth);
            EXPECT_EQ(r.width, l.header.width);
            EXPECT_EQ(r.height, l.header.height);
            EXPECT_EQ(r.delay, l.delta.delay);
            EXPECT_EQ(r.dx, l.delta.dx);
            EXPECT_EQ(r.dy, l.delta.dy);
            CheckStream(file, r, "record " + std::to_string(i));
        }
    }
    EXPECT_GE(files, 26); // every expected-output file, the grey ones included
}

// Odd-sized grey pictures: a diagonal pattern with a dark square that moves by a step
// that is no multiple of 8, so that changed rectangles need aligning.
std::string WritePicture(const writer_test::ScratchFolder& folder, int index) {
    const int width = 37;
    const int height = 21;
    std::string pgm = "P5\n37 21\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = 3 + index * 11;
            const int sy = 2 + index * 5;
            const bool square = x >= sx && x < sx + 9 && y >= sy && y < sy + 7;
            pgm.push_back(static_cast<char>(square ? 20 + index : (x * 7 + y * 13) % 256));
        }
    }
    const std::string path = folder.File("picture_" + std::to_string(index) + ".pgm");
    writer_test::WriteWholeFile(path, pgm);
    return path;
}

// The records of a file, split into one list per type code (conversion order).
std::vector<std::vector<ztr_record>> Sequences(const Bytes& file, std::size_t types) {
    int status = 0;
    const auto records = WalkRecords(MemorySource(file), status);
    EXPECT_EQ(status, ZTR_END);
    EXPECT_EQ(records.size() % types, 0u);
    std::vector<std::vector<ztr_record>> out(types);
    const std::size_t each = records.size() / types;
    for (std::size_t i = 0; i < records.size(); ++i) {
        out[i / each].push_back(records[i]);
    }
    return out;
}

// Converts the pictures as an animation in the coding and each on its own in the
// run-length coding; every sequence's frames, built in a frame buffer from its full frame
// and delta records, must equal the full frames of the single conversions, and stepping
// through them must loop.
void CheckAnimation(const std::vector<std::string>& pictures,
                    const std::vector<std::uint32_t>& codes, const std::string& scratch,
                    CodingChoice coding = CodingChoice::RunLength) {
    writer_test::MessageRecorder messages;
    ConversionContext context;
    context.coding = coding;
    ASSERT_EQ(WritePicturesAsFrames(pictures, codes, 40, context), Outcome{});
    const Bytes anim = ReadWholeFile(OutputPathFor(pictures[0]));
    std::vector<Bytes> singles;
    for (const std::string& picture : pictures) {
        // The single conversion goes next to a copy, so that the animation stays.
        const std::string copy = scratch + "/" + std::filesystem::path(picture).stem().string() +
                                 "_single" + std::filesystem::path(picture).extension().string();
        std::filesystem::copy_file(picture, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(WritePicturesAsFrames({copy}, codes, 0, ConversionContext{}), Outcome{});
        singles.push_back(ReadWholeFile(OutputPathFor(copy)));
    }
    const auto sequences = Sequences(anim, codes.size());
    const ztr_source source = MemorySource(anim);
    for (std::size_t t = 0; t < codes.size(); ++t) {
        SCOPED_TRACE("type code " + std::to_string(codes[t]));
        const auto& sequence = sequences[t];
        ASSERT_EQ(sequence.size(), pictures.size());
        const ztr_record& first = sequence[0];
        Bytes frame(first.unpacked_size, 0xA5);
        Bytes window(ZTR_WINDOW_SIZE, 0xEE);
        Bytes in_frame(first.unpacked_size, 0x5A); // the frame as the squash window
        ztr_record step{};
        for (std::size_t k = 0; k < sequence.size(); ++k) {
            SCOPED_TRACE("frame " + std::to_string(k));
            CheckStream(anim, sequence[k], "animation record");
            ASSERT_EQ(ztr_next_frame(&source, &first, &step), ZTR_OK);
            EXPECT_EQ(step.offset, sequence[k].offset);
            EXPECT_EQ(step.delay, 40);
            ASSERT_EQ(ztr_apply_window(&source, &first, &sequence[k], frame.data(),
                                       static_cast<std::uint32_t>(frame.size()), window.data()),
                      ZTR_OK);
            const auto single = Sequences(singles[k], codes.size())[t];
            ASSERT_EQ(single.size(), 1u);
            const Bytes full = CheckStream(singles[k], single[0], "single record");
            EXPECT_EQ(frame, full);
            const ztr_result placed =
                ztr_apply_in_frame(&source, &first, &sequence[k], in_frame.data(),
                                   static_cast<std::uint32_t>(in_frame.size()));
            if (placed == ZTR_NO_WINDOW) {
                // Only where a squash or dense record's planes lie apart in the frame.
                EXPECT_NE(sequence[k].coding, ZTR_CODING_RUN_LENGTH);
                EXPECT_NE(sequence[k].layout & ZTR_LAYOUT_PLANAR, 0);
                EXPECT_NE(sequence[k].unpacked_size, first.unpacked_size);
                in_frame = frame;
            } else {
                ASSERT_EQ(placed, ZTR_OK);
                EXPECT_EQ(in_frame, full);
            }
        }
        ASSERT_EQ(ztr_next_frame(&source, &first, &step), ZTR_OK);
        EXPECT_EQ(step.offset, first.offset) << "loops back after the last frame";
    }
}

// Every lay-out of the depth; planar ones at the depths that have bit planes above one.
std::vector<std::uint32_t> EveryLayout(std::uint8_t depth) {
    const bool planes = depth == 2 || depth == 4 || depth == 8;
    std::vector<std::uint32_t> codes;
    for (std::uint16_t layout = 0; layout <= 0x1F; ++layout) {
        if (!(layout & ZTR_LAYOUT_PLANAR) || planes) {
            codes.push_back(MakeTypeCode(layout, depth));
        }
    }
    return codes;
}

class ConvertedDepthTest : public ::testing::TestWithParam<std::tuple<int, CodingChoice>> {};

TEST_P(ConvertedDepthTest, EveryLayoutStreamsAndBuildsFramesAsTheWriterPacksThem) {
    const auto [depth, coding] = GetParam();
    writer_test::ScratchFolder folder("device_depth_" + std::to_string(depth) + "_" +
                                      CodingChoiceWord(coding));
    const std::vector<std::string> pictures = {WritePicture(folder, 0), WritePicture(folder, 1),
                                               WritePicture(folder, 2)};
    CheckAnimation(pictures, EveryLayout(static_cast<std::uint8_t>(depth)), folder.Path().string(),
                   coding);
}

INSTANTIATE_TEST_SUITE_P(Depths, ConvertedDepthTest,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16, 24),
                                            ::testing::Values(CodingChoice::RunLength,
                                                              CodingChoice::Squash,
                                                              CodingChoice::Auto)));

TEST(WriterStreamTest, SampleAnimationsBuildTheSingleConversionsFrames) {
    const std::vector<std::uint32_t> codes = {0x10000, 0x10004, 0x10010, 0x10014, 0x10001,
                                              0x10005, 0x10011, 0x10002, 0x10006, 0x10016,
                                              0x10003, 0x10007, 0x80000, 0x80001, 0x80010};
    for (const std::string set : {"anim", "edge"}) {
        for (const CodingChoice coding : {CodingChoice::RunLength, CodingChoice::Auto}) {
            SCOPED_TRACE(set + ", " + CodingChoiceWord(coding));
            writer_test::ScratchFolder folder("device_samples_" + set + "_" +
                                              CodingChoiceWord(coding));
            std::vector<std::string> pictures;
            for (int k = 0; k < 5; ++k) {
                const auto source = set == "anim" ? SAMPLES / ("anim_" + std::to_string(k) + ".pgm")
                                                  : DATA / "expected" / "inputs" /
                                                        ("edge_" + std::to_string(k) + ".pgm");
                pictures.push_back(folder.File(set + "_" + std::to_string(k) + ".pgm"));
                std::filesystem::copy_file(source, pictures.back());
            }
            CheckAnimation(pictures, codes, folder.Path().string(), coding);
        }
    }
}

// The writer's own packing at depth 1 and 8, against the packing rules: the full frame of
// every lay-out is the reference packing of the thresholded or unchanged grey levels.
TEST(WriterStreamTest, FullFramesFollowThePackingRules) {
    writer_test::ScratchFolder folder("device_rules");
    const std::string path = WritePicture(folder, 1);
    const Bytes pgm = ReadWholeFile(path);
    const std::size_t pixelsAt = pgm.size() - 37 * 21;
    for (const int depth : {1, 8}) {
        SCOPED_TRACE(depth);
        const auto codes = EveryLayout(static_cast<std::uint8_t>(depth));
        writer_test::MessageRecorder messages;
        ASSERT_EQ(WritePicturesAsFrames({path}, codes, 0, ConversionContext{}), Outcome{});
        const Bytes file = ReadWholeFile(OutputPathFor(path));
        Picture picture{37, 21, {}};
        for (std::size_t i = 0; i < 37 * 21; ++i) {
            const std::uint8_t grey = pgm[pixelsAt + i];
            picture.values.push_back(depth == 1 ? (grey > 127 ? 1u : 0u) : grey);
        }
        const auto sequences = Sequences(file, codes.size());
        for (const auto& sequence : sequences) {
            const ztr_record& r = sequence.at(0);
            SCOPED_TRACE(r.layout);
            int status = 0;
            EXPECT_EQ(DecodeStream(MemorySource(file), r, 100, status),
                      PackReference(picture, depth, r.layout, Rect{0, 0, 37, 21}));
        }
    }
}

} // namespace

namespace {

// The header of ztr export, compiled as C: the same bytes as the file, and every record
// decodes from them.
TEST(WriterStreamTest, ExportedHeaderHoldsTheFileAndDecodes) {
    const Bytes file = ReadWholeFile((DATA / "expected" / "anim.ztr").string());
    const Bytes exported(ExportedAnimation(), ExportedAnimation() + ExportedAnimationSize());
    ASSERT_EQ(exported, file);
    int status = 0;
    const auto records = WalkRecords(MemorySource(exported), status);
    EXPECT_EQ(status, ZTR_END);
    EXPECT_EQ(records.size(), 102u);
    for (const ztr_record& record : records) {
        CheckStream(exported, record, "exported record");
    }
}

} // namespace
