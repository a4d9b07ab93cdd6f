// Choosing the reader by signature and name, turning rows over, and pictures handed over
// as bytes in memory.
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace readers_test;

struct ReverseCase {
    std::size_t rowLength;
    std::size_t rowCount;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

TEST(ReverseRows, SwapsRowsAroundTheMiddle) {
    const ReverseCase cases[] = {
        {2, 3, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
        {3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}},
        {5, 1, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
        {1, 2, {7, 9}, {9, 7}},
    };
    for (const ReverseCase& c : cases) {
        std::vector<std::uint8_t> pixels = c.before;
        ReverseRows(pixels.data(), c.rowLength, c.rowCount);
        EXPECT_EQ(pixels, c.after) << c.rowLength << " x " << c.rowCount;
    }
    std::vector<std::uint8_t> untouched = {4, 5};
    ReverseRows(untouched.data(), 2, 0);
    EXPECT_EQ(untouched, (std::vector<std::uint8_t>{4, 5}));
}

// A 3 x 2 8-bit bitmap: bottom row 1 2 3, top row 4 5 6 (rows padded to 4 bytes).
std::vector<std::uint8_t> SmallBitmap() {
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    return MakeBmp(fields, std::vector<std::uint8_t>(4 * 256, 0), {1, 2, 3, 0, 4, 5, 6, 0});
}

const std::string GREY_3X2 = "P2\n3 2\n255\n9 8 7\n6 5 4\n";
// A run-length bitmap, refused by the bitmap reader, and a PGM with maxval 0.
std::vector<std::uint8_t> RunLengthBitmap() {
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    fields.compression = 1;
    return MakeBmp(fields, std::vector<std::uint8_t>(4 * 256, 0), {1, 2, 3, 0, 4, 5, 6, 0});
}
const std::string EMPTY_PGM = "P2\n3 2\n0\n";

enum class Content { Bitmap, Grey, BadBitmap, BadGrey };

struct ChoiceCase {
    const char* name;
    Content content;
    std::vector<std::uint8_t> pixels; // empty when the load fails
    std::string message;              // "bitmap" stands for the bitmap reader's message
};

// The signature decides; where it names the other one of the two seed readers than the
// name does, a file that neither reads fails with the message the name's reader gives,
// as it did before signatures were looked at.
TEST(LoadImageFile, ChoosesTheReaderBySignatureThenByName) {
    const std::string invalidPnm = "Invalid PBM/PGM/PPM image\n";
    const ChoiceCase cases[] = {
        {"picture.bmp", Content::Bitmap, {4, 5, 6, 1, 2, 3}, ""},
        {"PICTURE.BMP", Content::Bitmap, {4, 5, 6, 1, 2, 3}, ""},
        {"picture.dib", Content::Bitmap, {4, 5, 6, 1, 2, 3}, ""},
        {"picture.bmp.pgm", Content::Bitmap, {4, 5, 6, 1, 2, 3}, ""},
        {"picture_without_extension", Content::Bitmap, {4, 5, 6, 1, 2, 3}, ""},
        {"grey.pgm", Content::Grey, {9, 8, 7, 6, 5, 4}, ""},
        {"grey", Content::Grey, {9, 8, 7, 6, 5, 4}, ""},
        {"grey.BMP", Content::Grey, {9, 8, 7, 6, 5, 4}, ""},
        {"grey.tga", Content::Grey, {9, 8, 7, 6, 5, 4}, ""},
        {"rle.bmp", Content::BadBitmap, {}, "bitmap"},
        {"rle.dib", Content::BadBitmap, {}, invalidPnm},
        {"rle.pgm", Content::BadBitmap, {}, invalidPnm},
        {"empty.pgm", Content::BadGrey, {}, "Wrong or unsupported image type\n"},
        {"empty.bmp", Content::BadGrey, {}, "bitmap"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path;
        switch (c.content) {
        case Content::Bitmap:
            path = WriteScratchFile(c.name, SmallBitmap());
            break;
        case Content::Grey:
            path = WriteScratchFile(c.name, GREY_3X2);
            break;
        case Content::BadBitmap:
            path = WriteScratchFile(c.name, RunLengthBitmap());
            break;
        case Content::BadGrey:
            path = WriteScratchFile(c.name, EMPTY_PGM);
            break;
        }
        MessageRecorder recorder;
        const std::optional<SourceImage> image = LoadImageFile(path, recorder.Sink());
        if (c.pixels.empty()) {
            EXPECT_FALSE(image.has_value());
            const std::string expected =
                c.message == "bitmap"
                    ? "ERROR: file '" + path + "' has an invalid or unsupported format\n"
                    : c.message;
            EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
            continue;
        }
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(image->pixels, c.pixels);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST(LoadImageFile, ToolBitmapComesTopRowFirst) {
    // ReadBmpImage keeps the file's bottom-up order; LoadImageFile turns it over.
    const std::string path = TestDataPath("im_grey7x5_bmp3.bmp");
    const std::optional<SourceImage> stored = ReadBmpImage(path, MessageSink{});
    const std::optional<SourceImage> loaded = LoadImageFile(path, MessageSink{});
    ASSERT_TRUE(stored.has_value());
    ASSERT_TRUE(loaded.has_value());
    std::vector<std::uint8_t> turned = stored->pixels;
    ReverseRows(turned.data(), 7, 5);
    EXPECT_EQ(loaded->pixels, turned);
    EXPECT_NE(loaded->pixels, stored->pixels);
    EXPECT_EQ(loaded->palette, stored->palette);
}

TEST(LoadImageFile, OneRowBitmapIsUnchanged) {
    BmpFields fields;
    fields.width = 1;
    fields.height = 1;
    const std::string path =
        WriteScratchFile("one.bmp", MakeBmp(fields, std::vector<std::uint8_t>(1024, 0), {0x9C}));
    const std::optional<SourceImage> image = LoadImageFile(path, MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, std::vector<std::uint8_t>{0x9C});
    EXPECT_EQ(image->levels, 256);
}

} // namespace

namespace {

using namespace readers_test;

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool SameFrames(const std::vector<SourceImage>& a, const std::vector<SourceImage>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].width != b[i].width || a[i].height != b[i].height || a[i].pixels != b[i].pixels ||
            a[i].rgb != b[i].rgb || a[i].palette != b[i].palette || a[i].delay != b[i].delay) {
            return false;
        }
    }
    return true;
}

// Every test picture gives the same frames, or the same message, from its bytes as from
// its file.
TEST(LoadImageFramesFromMemory, GivesWhatTheFileGives) {
    SourceReadOptions options;
    options.allFrames = true;
    options.colours = true;
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZENTRA_TEST_DATA)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README") {
            continue;
        }
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        MessageRecorder fromFile;
        MessageRecorder fromMemory;
        const auto file = LoadImageFrames(path, options, fromFile.Sink());
        const auto memory =
            LoadImageFramesFromMemory(FileBytes(path), path, options, fromMemory.Sink());
        ASSERT_EQ(file.has_value(), memory.has_value());
        EXPECT_EQ(fromFile.Messages(), fromMemory.Messages());
        if (file) {
            EXPECT_TRUE(SameFrames(*file, *memory));
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 40);
}

// Without a known signature the name chooses: ".tga" the TGA reader, every other name the
// PBM/PGM/PPM reader; a signature wins over any name.
TEST(LoadImageFramesFromMemory, TheNameChoosesWhereTheBytesCannot) {
    const std::vector<std::uint8_t> tga = FileBytes(TestDataPath("netpbm_colour7x5.tga"));
    const std::vector<std::uint8_t> png = FileBytes(TestDataPath("im_grey7x5.png"));
    const struct {
        const std::vector<std::uint8_t>* bytes;
        const char* name;
        std::string message; // empty: read
    } cases[] = {
        {&tga, "colour.tga", ""},
        {&tga, "COLOUR.TGA", ""},
        {&tga, "colour.pgm", "Invalid PBM/PGM/PPM image\n"},
        {&tga, "colour", "Invalid PBM/PGM/PPM image\n"},
        {&png, "grey.tga", ""},
        {&png, "grey", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder recorder;
        const auto frames =
            LoadImageFramesFromMemory(*c.bytes, c.name, SourceReadOptions{}, recorder.Sink());
        EXPECT_EQ(frames.has_value(), c.message.empty());
        if (!c.message.empty()) {
            EXPECT_EQ(recorder.Messages(), std::vector<std::string>{c.message});
        }
    }
}

} // namespace
