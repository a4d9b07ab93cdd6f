// Tests of the conversion request kept in memory: pictures given as bytes, with the files
// kept in memory, give the same files, byte for byte and under the same names, as the same
// pictures on disk, for single pictures, animations, a GIF, colour, palettes and a palette
// file; and a failed or cancelled one hands over no bytes.
#include "byte_sink.h"
#include "conversion_request.h"
#include "file_request.h"

#include "writer_test_support.h"

#include "zentra_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

Bytes Pgm(int width, int height, const Bytes& pixels) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

// A 7 x 5 picture with a bright top-left corner and a dark diagonal, different under any
// flip; `shift` moves its levels so that frames of an animation differ.
Bytes Asymmetric(int shift) {
    Bytes pixels(35);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const int level = x + y < 3 ? 250 : (x == y + shift ? 10 : 40 * x + 9 * y);
            pixels[static_cast<std::size_t>(y * 7 + x)] = static_cast<std::uint8_t>(level);
        }
    }
    return Pgm(7, 5, pixels);
}

Bytes DataFile(const std::string& name) {
    return writer_test::ReadWholeFile((std::filesystem::path(ZENTRA_TEST_DATA) / name).string());
}

struct NamedPicture {
    std::string name;
    Bytes bytes;
};

struct SameBytesCase {
    const char* what;
    std::vector<NamedPicture> pictures;
    std::vector<std::uint32_t> codes;
    bool animation;
    std::vector<Palette> typePalettes{};
    std::string palette{}; // the tone options' palette; "pal.txt" is the palette file below
    CodingChoice coding = CodingChoice::RunLength;
};

const std::string PALETTE_FILE = "#000000\n#FFFFFF\n#FF0000\n";

TEST(ConvertInMemoryTest, MemoryBytesEqualTheFilesWrittenToDisk) {
    const Palette bwr{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
    const SameBytesCase cases[] = {
        {"one picture, two lay-outs", {{"a.pgm", Asymmetric(0)}}, {0x10006, 0x4000D}, false},
        {"two pictures, two files",
         {{"a.pgm", Asymmetric(0)}, {"b.pgm", Asymmetric(1)}},
         {0x10000},
         false},
        {"animation with deltas and colour",
         {{"a.pgm", Asymmetric(0)}, {"b.pgm", Asymmetric(1)}, {"c.pgm", Asymmetric(2)}},
         {0x10004, 0x100001},
         true},
        {"GIF frames, profile palette, planar",
         {{"anim.gif", DataFile("im_anim9x7.gif")}},
         {0x20008},
         true,
         {bwr}},
        {"palette file",
         {{"c.ppm", DataFile("im_colour7x5_raw.ppm")}},
         {0x20000},
         false,
         {},
         "pal.txt"},
        {"squash coded animation",
         {{"a.pgm", Asymmetric(0)}, {"b.pgm", Asymmetric(1)}},
         {0x10006, 0x80000},
         true,
         {},
         "",
         CodingChoice::Squash},
        {"each record in the smaller coding",
         {{"anim.gif", DataFile("im_anim9x7.gif")}},
         {0x10000, 0x180000},
         true,
         {},
         "",
         CodingChoice::Auto},
    };
    for (const SameBytesCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder("in_memory");
        std::vector<std::string> paths;
        for (const NamedPicture& picture : c.pictures) {
            paths.push_back(folder.File(picture.name));
            writer_test::WriteWholeFile(paths.back(), picture.bytes);
        }
        writer_test::WriteWholeFile(folder.File("pal.txt"), PALETTE_FILE);

        ConversionRequest onDisk = writer_test::FileRequest(paths, c.codes, c.animation);
        for (std::size_t k = 0; k < c.typePalettes.size(); ++k) {
            onDisk.targets[k].palette = c.typePalettes[k];
        }
        onDisk.coding = c.coding;
        onDisk.tone.palette = c.palette.empty() ? "" : folder.File(c.palette);
        ASSERT_EQ(RunConversion(onDisk, {}), Outcome{});

        ConversionRequest inMemory = onDisk;
        for (std::size_t k = 0; k < c.pictures.size(); ++k) {
            inMemory.pictures[k] = {c.pictures[k].name,
                                    std::make_shared<const Bytes>(c.pictures[k].bytes)};
        }
        inMemory.tone.palette = c.palette;
        if (!c.palette.empty()) {
            inMemory.paletteFile =
                std::make_shared<const Bytes>(PALETTE_FILE.begin(), PALETTE_FILE.end());
        }
        std::vector<FileInMemory> files;
        ConversionEnvironment keep;
        keep.files = &files;
        ASSERT_EQ(RunConversion(inMemory, keep), Outcome{});

        const std::size_t expected = c.animation ? 1 : c.pictures.size();
        ASSERT_EQ(files.size(), expected);
        for (std::size_t k = 0; k < expected; ++k) {
            EXPECT_EQ(files[k].name, OutputPathFor(c.pictures[k].name));
            const Bytes written = writer_test::ReadWholeFile(folder.File(files[k].name));
            EXPECT_GT(written.size(), 16u);
            EXPECT_EQ(files[k].bytes, written);
        }
    }
}

TEST(ConvertInMemoryTest, OwnDelaysGoIntoTheDeltaRecords) {
    // Three 7 x 5 frames at depth 1 and the closing one: a full record, then three delta
    // records, each delay in the delta header after its record header.
    ConversionRequest request;
    request.pictures = {
        {"a.pgm", std::make_shared<const Bytes>(Asymmetric(0)), 300},
        {"b.pgm", std::make_shared<const Bytes>(Asymmetric(1))},
        {"c.pgm", std::make_shared<const Bytes>(Asymmetric(2)), 40},
    };
    request.targets = {{0x10000}};
    request.animation = true;
    request.delay = 90;
    std::vector<FileInMemory> files;
    ConversionEnvironment keep;
    keep.files = &files;
    ASSERT_EQ(RunConversion(request, keep), Outcome{});
    ASSERT_EQ(files.size(), 1u);
    const Bytes& bytes = files[0].bytes;
    std::vector<int> delays;
    for (std::size_t at = 0; at + RECORD_HEADER_SIZE + DELTA_HEADER_SIZE <= bytes.size();) {
        std::array<std::uint8_t, RECORD_HEADER_SIZE> head{};
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), head.size(), head.begin());
        const RecordHeader header = DecodeRecordHeader(head);
        if ((header.layout & RECORD_DELTA) != 0) {
            std::array<std::uint8_t, DELTA_HEADER_SIZE> delta{};
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + RECORD_HEADER_SIZE),
                        delta.size(), delta.begin());
            delays.push_back(DecodeDeltaHeader(delta).delay);
        }
        ASSERT_GT(header.recordLength, 0u);
        at += header.recordLength;
    }
    // b keeps the common delay; the closing frame repeats a, with a's own delay.
    EXPECT_EQ(delays, (std::vector<int>{90, 40, 300}));
}

struct FailureCase {
    const char* what;
    std::vector<RequestPicture> pictures;
    bool cancel;
    OutcomeCode code;
    OutcomeDetail detail;
    std::string file;    // the file the outcome names
    std::size_t reports; // outcomes handed to the sink
    std::size_t filesKept;
};

TEST(ConvertInMemoryTest, FailuresHandOverNoBytes) {
    const auto good = std::make_shared<const Bytes>(Asymmetric(0));
    const auto broken = std::make_shared<const Bytes>(Bytes{'P', '5', '\n', '7'});
    using C = OutcomeCode;
    using D = OutcomeDetail;
    const FailureCase cases[] = {
        {"a broken second picture",
         {{"a.pgm", good}, {"b.pgm", broken}},
         false,
         C::WrongImageType,
         D::HeaderEndsEarly,
         "b.pgm",
         1,
         1},
        {"cancelled after a frame", {{"a.pgm", good}}, true, C::Cancelled, D::None, "", 0, 0},
        {"output named as a picture",
         {{"a.pgm", good}, {"a.ztr", good}},
         false,
         C::OutputOverPicture,
         D::None,
         "a.ztr",
         1,
         0},
        {"outputs of one name",
         {{"a.pgm", good}, {"a.png", good}},
         false,
         C::OutputsCollide,
         D::None,
         "a.ztr",
         1,
         0},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Outcome> reported;
        std::vector<FileInMemory> files;
        ConversionEnvironment environment;
        environment.sink.context = &reported;
        environment.sink.take = [](void* kept, const Outcome& outcome) {
            static_cast<std::vector<Outcome>*>(kept)->push_back(outcome);
        };
        environment.files = &files;
        if (c.cancel) {
            environment.progress = [](const ConversionProgress&) { return false; };
        }
        ConversionRequest request;
        request.pictures = c.pictures;
        request.targets = {{0x10000}};
        const Outcome result = RunConversion(request, environment);
        EXPECT_EQ(result.code, c.code) << OutcomeCodeName(result.code);
        EXPECT_EQ(result.detail, c.detail);
        EXPECT_EQ(result.file, c.file);
        EXPECT_EQ(files.size(), c.filesKept);
        ASSERT_EQ(reported.size(), c.reports);
        if (c.reports > 0) {
            EXPECT_EQ(reported[0], result); // the result is the failure reported
        }
    }
}

TEST(ByteSinkTest, MemorySinkOverwritesInPlaceAndHandsOverOnlyWhenCommitted) {
    MemorySink sink("x.ztr");
    ASSERT_TRUE(sink.Open());
    const std::uint8_t first[] = {1, 2, 3, 4, 5};
    const std::uint8_t patch[] = {9, 8};
    ASSERT_TRUE(sink.Write(first, sizeof first));
    EXPECT_TRUE(sink.Overwrite(1, patch, sizeof patch));
    EXPECT_FALSE(sink.Overwrite(4, patch, sizeof patch)); // past the end
    ASSERT_TRUE(sink.Write(patch, 1));
    EXPECT_EQ(sink.Size(), 6u);
    EXPECT_TRUE(sink.Take().empty());
    ASSERT_TRUE(sink.Commit());
    EXPECT_EQ(sink.Take(), (Bytes{1, 9, 8, 4, 5, 9}));
}

} // namespace
