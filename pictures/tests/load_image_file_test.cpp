// Choosing the reader by signature and name, turning rows over, and pictures handed over
// as bytes in memory.
#include "first_frame.h"
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
// A bitmap with JPEG data, refused by the bitmap reader, and a PGM with maxval 0.
std::vector<std::uint8_t> JpegBitmap() {
    BmpFields fields;
    fields.width = 3;
    fields.height = 2;
    fields.compression = 4;
    return MakeBmp(fields, std::vector<std::uint8_t>(4 * 256, 0), {1, 2, 3, 0, 4, 5, 6, 0});
}
const std::string EMPTY_PGM = "P2\n3 2\n0\n";

enum class Content { Bitmap, Grey, BadBitmap, BadGrey };

struct ChoiceCase {
    const char* name;
    Content content;
    std::vector<std::uint8_t> pixels; // empty when the load fails
    std::string message;              // %s stands for the path
};

// The signature decides, whatever the name, and a file that its reader refuses fails with
// that reader's message.
TEST(LoadImageFile, ChoosesTheReaderBySignatureThenByName) {
    const std::string jpegBitmap =
        "ERROR: file '%s' has an invalid or unsupported format\n  in '%s': 8 bits a pixel with "
        "JPEG compression, which ztr does not read\n";
    const std::string noMaxval =
        "Wrong or unsupported image type\n  in '%s': maxval 0 is not 1 to 65535\n";
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
        {"jpeg.bmp", Content::BadBitmap, {}, jpegBitmap},
        {"jpeg.dib", Content::BadBitmap, {}, jpegBitmap},
        {"jpeg.pgm", Content::BadBitmap, {}, jpegBitmap},
        {"empty.pgm", Content::BadGrey, {}, noMaxval},
        {"empty.bmp", Content::BadGrey, {}, noMaxval},
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
            path = WriteScratchFile(c.name, JpegBitmap());
            break;
        case Content::BadGrey:
            path = WriteScratchFile(c.name, EMPTY_PGM);
            break;
        }
        MessageRecorder recorder;
        const std::optional<SourceImage> image = LoadImageFile(path, recorder.Sink());
        if (c.pixels.empty()) {
            EXPECT_FALSE(image.has_value());
            const std::string expected = WithPath(c.message, path);
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
    // ReadBmpFirstFrame keeps the file's bottom-up order; LoadImageFile turns it over.
    const std::string path = TestDataPath("im_grey7x5_bmp3.bmp");
    const std::optional<SourceImage> stored = ReadBmpFirstFrame(path, MessageSink{});
    const std::optional<SourceImage> loaded = LoadImageFile(path, MessageSink{});
    ASSERT_TRUE(stored.has_value());
    ASSERT_TRUE(loaded.has_value());
    std::vector<std::uint8_t> turned = stored->pixels;
    ReverseRows(turned.data(), 7, 5);
    EXPECT_EQ(loaded->pixels, turned);
    EXPECT_NE(loaded->pixels, stored->pixels);
    EXPECT_EQ(loaded->recordPalette, stored->recordPalette);
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
            a[i].rgb != b[i].rgb || a[i].recordPalette != b[i].recordPalette ||
            a[i].delay != b[i].delay) {
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
        {&tga, "colour.pgm",
         "Invalid PBM/PGM/PPM image\n  in 'colour.pgm': its first word is not a format number "
         "such as P5\n"},
        {&tga, "colour",
         "Invalid PBM/PGM/PPM image\n  in 'colour': not a picture that ztr reads (it reads BMP, "
         "PBM, PGM, PPM, PNG, GIF, JPEG and TGA)\n"},
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

namespace {

using namespace readers_test;

std::vector<std::uint8_t> Text(std::string_view text) {
    return {text.begin(), text.end()};
}

// A file that no reader takes is named with what it is when its first bytes tell, whatever
// its name; an empty file and a folder say so.
TEST(LoadImageFramesFromMemory, RefusalsSayWhatTheFileIs) {
    const std::vector<std::uint8_t> ztr = {12, 0, 0, 0, 0x02, 0xA2, 0, 1, 1, 0, 1, 0};
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* what; // nullptr: the message is given whole
        std::string message;
    } cases[] = {
        {"photo.tif", Text(std::string_view("II*\0\x08\0\0\0", 8)), "a TIFF picture", ""},
        {"photo.bmp", Text(std::string_view("MM\0*\0\0\0\x08", 8)), "a TIFF picture", ""},
        {"photo.webp", Text(std::string_view("RIFF\x24\0\0\0WEBPVP8 ", 16)), "a WebP picture", ""},
        {"photo.heic",
         Text(std::string_view("\0\0\0\x18"
                               "ftypheic\0\0\0\0mif1heic",
                               24)),
         "a HEIF picture", ""},
        {"photo.avif",
         Text(std::string_view("\0\0\0\x1C"
                               "ftypmif1\0\0\0\0mif1avifmiaf",
                               28)),
         "an AVIF picture", ""},
        {"clip.mp4",
         Text(std::string_view("\0\0\0\x18"
                               "ftypisom\0\0\x02\0isomiso2",
                               24)),
         "an MP4 or QuickTime video", ""},
        {"icon.ico",
         Text(std::string_view("\0\0\x01\0\x01\0\x10\x10\0\0\x01\0\x20\0\x68\x04\0\0\x16\0\0\0",
                               22)),
         "a Windows icon (ICO)", ""},
        {"layers.psd", Text("8BPS\0\x01"), "a Photoshop picture (PSD)", ""},
        {"logo.svg", Text("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<svg width=\"9\"/>"),
         "an SVG picture", ""},
        {"manual.pdf", Text("%PDF-1.7\n"), "a PDF document", ""},
        {"scan.jp2", Text(std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12)), "a JPEG 2000 picture",
         ""},
        {"art.jxl", Text("\xFF\x0A\xFA"), "a JPEG XL picture", ""},
        {"sprite.qoi", Text("qoif\0\0\0\x02"), "a QOI picture", ""},
        {"deep.pam", Text("P7\nWIDTH 1\n"), "a PAM picture", ""},
        {"pictures.zip", Text("PK\x03\x04\x14\0"), "a ZIP archive", ""},
        {"logo.ztr", ztr, nullptr,
         "ERROR: file 'logo.ztr' is a Zentra file, not a picture (ztr converts BMP, PBM, PGM, "
         "PPM, PNG, GIF, JPEG and TGA pictures into Zentra files)\n"},
        {"notes.txt", Text("shopping list\n"), nullptr,
         "Invalid PBM/PGM/PPM image\n  in 'notes.txt': not a picture that ztr reads (it reads "
         "BMP, PBM, PGM, PPM, PNG, GIF, JPEG and TGA)\n"},
        {"blank.txt", Text("  \n# nothing\n"), nullptr,
         "Wrong or unsupported image type\n  in 'blank.txt': not a picture that ztr reads (it "
         "reads BMP, PBM, PGM, PPM, PNG, GIF, JPEG and TGA)\n"},
        {"empty.png",
         {},
         nullptr,
         "Wrong or unsupported image type\n  in 'empty.png': the file is empty\n"},
        {"empty.bmp",
         {},
         nullptr,
         "ERROR: file 'empty.bmp' has an invalid or unsupported format\n  in 'empty.bmp': the "
         "file is empty\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string expected =
            c.what == nullptr ? c.message
                              : "ERROR: file '" + std::string(c.name) + "' is " + c.what +
                                    ", which ztr does not read (it reads BMP, PBM, PGM, PPM, "
                                    "PNG, GIF, JPEG and TGA)\n";
        MessageRecorder recorder;
        EXPECT_FALSE(
            LoadImageFramesFromMemory(c.bytes, c.name, SourceReadOptions{}, recorder.Sink())
                .has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
    }
    // A folder named like a picture.
    const std::filesystem::path folder = ScratchFolder() / "holiday.png";
    std::filesystem::create_directories(folder);
    MessageRecorder recorder;
    EXPECT_FALSE(LoadImageFile(folder.string(), recorder.Sink()).has_value());
    EXPECT_EQ(recorder.Messages(), std::vector<std::string>{"ERROR: '" + folder.string() +
                                                            "' is a folder, not a picture file\n"});
}

} // namespace
