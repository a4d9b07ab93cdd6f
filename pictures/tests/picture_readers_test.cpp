// The stb-based readers, PPM and colour to grey, on files made by ImageMagick and PIL
// (tests/data/README): every format gives the same grey levels as the seed picture or
// as the luminance that PIL wrote down beside it.
#include "colour_to_grey.h"
#include "readers_seed_pictures.h"
#include "readers_test_support.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace readers_test;

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The pixel block of a raw PGM written by PIL (header "P5\n7 5\n255\n").
std::vector<std::uint8_t> RawPgmPixels(const std::string& name, std::size_t header) {
    std::vector<std::uint8_t> bytes = FileBytes(TestDataPath(name));
    return {bytes.begin() + static_cast<std::ptrdiff_t>(header), bytes.end()};
}

std::vector<std::uint8_t> Luma7x5() {
    return RawPgmPixels("pil_colour7x5_luma.pgm", 11);
}

int MostDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int most = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        most = std::max(most, std::abs(a[i] - b[i]));
    }
    return most;
}

struct FileCase {
    const char* file;
    int width;
    int height;
    std::vector<std::uint8_t> expected;
    int tolerance; // lossy formats
};

TEST(PictureReaders, EveryFormatGivesTheGreyOrTheLuminance) {
    const std::vector<std::uint8_t> grey = Grey7x5();
    const std::vector<std::uint8_t> luma = Luma7x5();
    const FileCase cases[] = {
        {"im_grey7x5.png", 7, 5, grey, 0},
        {"im_grey7x5_16.png", 7, 5, grey, 0},
        {"im_bits10x3.png", 10, 3, BITS_10X3, 0},
        {"im_grey7x5.jpg", 7, 5, grey, 3},
        {"im_grey7x5_progressive.jpg", 7, 5, grey, 3},
        {"seed_colour7x5.ppm", 7, 5, luma, 0},
        {"im_colour7x5_raw.ppm", 7, 5, luma, 0},
        {"im_colour7x5_palette.png", 7, 5, luma, 0},
        {"im_colour7x5_rgb.png", 7, 5, luma, 0},
        {"im_colour7x5_rgb16.png", 7, 5, luma, 0},
        {"pil_colour7x5_rgb.png", 7, 5, luma, 0},
        {"pil_colour7x5_palette.png", 7, 5, luma, 0},
        {"im_colour7x5_24.bmp", 7, 5, luma, 0},
        {"netpbm_colour7x5.tga", 7, 5, luma, 0},
        {"netpbm_colour7x5_rle.tga", 7, 5, luma, 0},
        // 5 and 6 bits a channel: each channel within 8 of its colour.
        {"im_colour7x5_565.bmp", 7, 5, luma, 8},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file);
        MessageRecorder recorder;
        const std::optional<SourceImage> image =
            LoadImageFile(TestDataPath(c.file), recorder.Sink());
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        ASSERT_EQ(image->pixels.size(), c.expected.size());
        if (c.tolerance == 0) {
            EXPECT_EQ(image->pixels, c.expected);
        } else {
            EXPECT_LE(MostDifference(image->pixels, c.expected), c.tolerance);
        }
        EXPECT_FALSE(image->indexed);
        EXPECT_EQ(image->recordPalette, (std::array<std::uint8_t, PALETTE_BYTES>{}));
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST(PictureReaders, LuminanceWorkedByHand) {
    // seed_colour7x5.ppm's second pixel is (40, 7, 30): (3080 + 1050 + 870 + 128) >> 8 = 20;
    // its last is (36, 242, 182): (2772 + 36300 + 5278 + 128) >> 8 = 173.
    EXPECT_EQ(Luminance(40, 7, 30), 20);
    EXPECT_EQ(Luminance(36, 242, 182), 173);
    EXPECT_EQ(Luma7x5()[1], 20);
    EXPECT_EQ(Luma7x5()[34], 173);
    // Grey colours keep their level; white and black stay.
    for (int v : {0, 1, 127, 128, 254, 255}) {
        EXPECT_EQ(Luminance(v, v, v), v);
    }
    // (Y A + bg (255 - A) + 127) / 255: Y 20 at alpha 51 over white is
    // (1020 + 52020 + 127) / 255 = 208, over black (1020 + 127) / 255 = 4.
    EXPECT_EQ(OverBackground(20, 51, 255), 208);
    EXPECT_EQ(OverBackground(20, 51, 0), 4);
}

std::vector<std::uint8_t> Alpha7x5() {
    std::vector<std::uint8_t> alpha;
    for (int i = 0; i < 35; ++i) {
        alpha.push_back(static_cast<std::uint8_t>(((i % 7) * 37 + (i / 7) * 11) % 256));
    }
    alpha[0] = 0;
    alpha[1] = 255;
    return alpha;
}

TEST(PictureReaders, AlphaIsCompositedOverTheBackground) {
    const std::vector<std::uint8_t> alpha = Alpha7x5();
    struct AlphaCase {
        const char* file;
        std::vector<std::uint8_t> colour;
    };
    const AlphaCase cases[] = {
        {"pil_colour7x5_rgba.png", Luma7x5()},
        {"pil_colour7x5_rgba.bmp", Luma7x5()},
        {"pil_greyalpha7x5.png", Grey7x5()},
    };
    for (const AlphaCase& c : cases) {
        for (const std::uint8_t background : {std::uint8_t{255}, std::uint8_t{0}}) {
            SCOPED_TRACE(std::string(c.file) + " over " + std::to_string(background));
            SourceReadOptions options;
            options.background = background;
            const auto frames = LoadImageFrames(TestDataPath(c.file), options, MessageSink{});
            ASSERT_TRUE(frames.has_value());
            ASSERT_EQ(frames->size(), 1u);
            const std::vector<std::uint8_t>& pixels = frames->front().pixels;
            ASSERT_EQ(pixels.size(), 35u);
            EXPECT_EQ(pixels[0], background);  // fully clear
            EXPECT_EQ(pixels[1], c.colour[1]); // fully opaque
            for (std::size_t i = 0; i < 35; ++i) {
                EXPECT_EQ(pixels[i], OverBackground(c.colour[i], alpha[i], background)) << i;
            }
        }
    }
}

// ImageMagick's own coalesced frames are the reference for disposal, offsets and the
// transparent colour.
TEST(PictureReaders, GifFramesAreCompositedWithTheirDelays) {
    SourceReadOptions options;
    options.allFrames = true;
    const auto frames = LoadImageFrames(TestDataPath("im_anim9x7.gif"), options, MessageSink{});
    ASSERT_TRUE(frames.has_value());
    ASSERT_EQ(frames->size(), 3u);
    const int delays[] = {100, 200, 300};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const std::string name = "im_anim9x7_coalesced_" + std::to_string(i) + ".pgm";
        EXPECT_EQ((*frames)[i].width, 9);
        EXPECT_EQ((*frames)[i].height, 7);
        EXPECT_EQ((*frames)[i].pixels, RawPgmPixels(name, 11));
        EXPECT_EQ((*frames)[i].delay, delays[i]);
    }
    // Without allFrames only the first frame is read.
    const auto first =
        LoadImageFrames(TestDataPath("im_anim9x7.gif"), SourceReadOptions{}, MessageSink{});
    ASSERT_TRUE(first.has_value());
    ASSERT_EQ(first->size(), 1u);
    EXPECT_EQ(first->front().pixels, RawPgmPixels("im_anim9x7_coalesced_0.pgm", 11));
}

TEST(PictureReaders, BitmapsAreReadWhereTheirPixelsAre) {
    const std::optional<SourceImage> plain =
        LoadImageFile(TestDataPath("im_grey7x5_bmp3.bmp"), MessageSink{});
    ASSERT_TRUE(plain.has_value());
    for (const char* file : {"im_grey7x5_gap.bmp", "im_grey7x5_topdown.bmp"}) {
        SCOPED_TRACE(file);
        const std::optional<SourceImage> image = LoadImageFile(TestDataPath(file), MessageSink{});
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->height, 5);
        EXPECT_EQ(image->pixels, plain->pixels);
        EXPECT_EQ(image->recordPalette, plain->recordPalette);
    }
}

// A data offset before the table's end, or beyond the file, keeps the old rule.
TEST(PictureReaders, ImplausibleDataOffsetsAreIgnored) {
    BmpFields fields;
    fields.width = 3;
    fields.height = 1;
    std::vector<std::uint8_t> bytes =
        MakeBmp(fields, std::vector<std::uint8_t>(1024), {7, 8, 9, 0});
    for (const std::uint32_t offset : {0u, 54u, 1077u, 1082u, 0xFFFFFFF0u}) {
        SCOPED_TRACE(offset);
        PutU32LE(&bytes[10], offset);
        const std::optional<SourceImage> image =
            LoadImageFile(WriteScratchFile("offset.bmp", bytes), MessageSink{});
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{7, 8, 9}));
    }
    PutU32LE(&bytes[10], 1079); // inside the file, behind the table: taken
    const std::optional<SourceImage> shifted =
        LoadImageFile(WriteScratchFile("offset.bmp", bytes), MessageSink{});
    ASSERT_TRUE(shifted.has_value());
    EXPECT_EQ(shifted->pixels, (std::vector<std::uint8_t>{8, 9, 0}));
}

TEST(PictureReaders, LuminanceOfIndexedBitmaps) {
    // A 1-bit bitmap with a dark red and a light green table: the colours, not 0 and 255.
    BmpFields fields;
    fields.width = 3;
    fields.height = 1;
    fields.bitCount = 1;
    const std::vector<std::uint8_t> table = {0, 0, 128, 0, 0, 200, 0, 0}; // blue, green, red
    std::optional<SourceImage> image = LoadImageFile(
        WriteScratchFile("mono.bmp", MakeBmp(fields, table, {0x40, 0, 0, 0})), MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0, 255, 0}));
    IndicesToLuminance(*image);
    // (77 * 128 + 128) >> 8 = 39; (150 * 200 + 128) >> 8 = 117.
    EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{39, 117, 39}));
    EXPECT_EQ(image->recordPalette, (std::array<std::uint8_t, PALETTE_BYTES>{}));

    // ImageMagick's grey 4- and 8-bit bitmaps: luminance of a grey table gives the greys.
    std::optional<SourceImage> grey =
        LoadImageFile(TestDataPath("im_grey7x5_bmp3.bmp"), MessageSink{});
    ASSERT_TRUE(grey.has_value());
    IndicesToLuminance(*grey);
    EXPECT_EQ(grey->pixels, Grey7x5());
    std::optional<SourceImage> grey4 =
        LoadImageFile(TestDataPath("im_grey5x3_bmp3.bmp"), MessageSink{});
    ASSERT_TRUE(grey4.has_value());
    IndicesToLuminance(*grey4);
    EXPECT_EQ(grey4->pixels, GREY_5X3);
}

// Cut or impossible files are refused with a message naming the file, never decoded.
TEST(PictureReaders, RefusesDamagedAndOversizedPictures) {
    const std::vector<std::uint8_t> png = FileBytes(TestDataPath("im_grey7x5.png"));
    std::vector<std::uint8_t> cutPng(png.begin(), png.begin() + 60);
    std::vector<std::uint8_t> widePng = png; // IHDR width at offset 16, big-endian
    widePng[16] = 0;
    widePng[17] = 0;
    widePng[18] = 0x80;
    widePng[19] = 0x00; // 32768
    std::vector<std::uint8_t> hugePng = png;
    hugePng[18] = 0x3E; // 16000 x 16000 pixels, within the limit, from a 237-byte file
    hugePng[19] = 0x80;
    hugePng[22] = 0x3E;
    hugePng[23] = 0x80;
    std::vector<std::uint8_t> tooLargePng = png;
    tooLargePng[18] = 0x42; // 17000 x 17000 pixels: above 2^28
    tooLargePng[19] = 0x68;
    tooLargePng[22] = 0x42;
    tooLargePng[23] = 0x68;
    const std::vector<std::uint8_t> gif = FileBytes(TestDataPath("im_anim9x7.gif"));
    std::vector<std::uint8_t> headerOnlyGif(gif.begin(), gif.begin() + 13);
    struct RefusalCase {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::string message; // %s stands for the path
    };
    const std::string limits = "; the limit is 32767 pixels a side and 268435456 pixels in all)\n";
    const RefusalCase cases[] = {
        {"cut.png", cutPng, "ERROR: file '%s' is not a valid PNG picture\n"},
        {"wide.png", widePng, "ERROR: file '%s' is too large (32768 x 5 pixels" + limits},
        {"huge.png", hugePng,
         "ERROR: truncated input file (not enough pixel data)\n  in '%s': not enough data for "
         "16000 x 16000 pixels\n"},
        {"too_large.png", tooLargePng,
         "ERROR: file '%s' is too large (17000 x 17000 pixels" + limits},
        {"header.gif", headerOnlyGif,
         "ERROR: truncated input file (not enough pixel data)\n  in '%s': not enough data for 9 x "
         "7 pixels\n"},
        {"empty.tga", {}, "Wrong or unsupported image type\n  in '%s': the file is empty\n"},
        {"signature.jpg", {0xFF, 0xD8, 0xFF}, "ERROR: file '%s' is not a valid JPEG picture\n"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteScratchFile(c.name, c.bytes);
        const std::string expected = WithPath(c.message, path);
        MessageRecorder recorder;
        EXPECT_FALSE(LoadImageFile(path, recorder.Sink()).has_value());
        EXPECT_EQ(recorder.Messages(), std::vector<std::string>{expected});
    }
}

// Every reader checks the size its header announces against the one limit before it
// decodes or allocates anything: 17000 x 17000 is above 2^28 pixels, 40000 above the
// largest side. The files hold a header and a few bytes.
TEST(PictureReaders, EveryReaderRefusesAPictureAboveTheLimitByItsHeader) {
    const auto bigEndian16 = [](std::vector<std::uint8_t>& bytes, std::size_t at, int value) {
        bytes[at] = static_cast<std::uint8_t>(value >> 8);
        bytes[at + 1] = static_cast<std::uint8_t>(value);
    };
    const auto png = [&](int width, int height) {
        std::vector<std::uint8_t> bytes = FileBytes(TestDataPath("im_grey7x5.png"));
        bigEndian16(bytes, 18, width);
        bigEndian16(bytes, 22, height);
        return bytes;
    };
    const auto jpeg = [&](int width, int height) {
        std::vector<std::uint8_t> bytes = FileBytes(TestDataPath("im_grey7x5.jpg"));
        std::size_t frame = 2; // the start-of-frame marker FF C0: height, then width
        while (frame + 9 < bytes.size() && !(bytes[frame] == 0xFF && bytes[frame + 1] == 0xC0)) {
            ++frame;
        }
        bigEndian16(bytes, frame + 5, height);
        bigEndian16(bytes, frame + 7, width);
        return bytes;
    };
    const auto gif = [](int width, int height) {
        std::vector<std::uint8_t> bytes = {'G', 'I', 'F', '8', '9', 'a'};
        for (const int side : {width, height}) {
            bytes.push_back(static_cast<std::uint8_t>(side));
            bytes.push_back(static_cast<std::uint8_t>(side >> 8));
        }
        bytes.insert(bytes.end(),
                     {0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0, 0x3B});
        return bytes;
    };
    const auto bitmap = [](int width, int height, std::uint16_t bitCount) {
        BmpFields fields;
        fields.width = width;
        fields.height = height;
        fields.bitCount = bitCount;
        return MakeBmp(fields, std::vector<std::uint8_t>(bitCount == 8 ? 1024 : 0), {1, 2, 3, 4});
    };
    const auto tga = [](int width, int height) {
        std::vector<std::uint8_t> bytes(18, 0);
        bytes[2] = 3; // grey
        PutU16LE(&bytes[12], static_cast<std::uint16_t>(width));
        PutU16LE(&bytes[14], static_cast<std::uint16_t>(height));
        bytes[16] = 8;
        bytes.insert(bytes.end(), {1, 2, 3, 4});
        return bytes;
    };
    const auto pgm = [](int width, int height) {
        const std::string text =
            "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n1234";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    struct LimitCase {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* size;
    };
    const LimitCase cases[] = {
        {"big.png", png(17000, 17000), "17000 x 17000"},
        {"wide.png", png(40000, 2), "40000 x 2"},
        {"big.jpg", jpeg(17000, 17000), "17000 x 17000"},
        {"big.gif", gif(17000, 17000), "17000 x 17000"},
        {"big8.bmp", bitmap(17000, 17000, 8), "17000 x 17000"},
        {"tall8.bmp", bitmap(3, 40000, 8), "3 x 40000"},
        {"big24.bmp", bitmap(17000, -17000, 24), "17000 x 17000"},
        {"big.tga", tga(17000, 17000), "17000 x 17000"},
        {"big.pgm", pgm(17000, 17000), "17000 x 17000"},
        {"wide.pgm", pgm(40000, 2), "40000 x 2"},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteScratchFile(c.name, c.bytes);
        MessageRecorder recorder;
        EXPECT_FALSE(LoadImageFile(path, recorder.Sink()).has_value());
        EXPECT_EQ(recorder.Messages(),
                  std::vector<std::string>{"ERROR: file '" + path + "' is too large (" + c.size +
                                           " pixels; the limit is 32767 pixels a side and "
                                           "268435456 pixels in all)\n"});
    }
}

TEST(PictureReaders, PpmSamplesOfEveryMaxval) {
    struct PpmCase {
        const char* what;
        std::string bytes;
        std::vector<std::uint8_t> pixels; // empty: truncated
    };
    const PpmCase cases[] = {
        // (0x12, 0xFF, 0x00) from two-byte samples: (1386 + 38250 + 128) >> 8 = 155.
        {"P6 maxval 65535", std::string("P6\n1 1\n65535\n\x12\x34\xFF\x00\x00\x80", 19), {155}},
        // maxval 15: (15, 0, 0) is (255, 0, 0), (77 * 255 + 128) >> 8 = 77; a sample above
        // maxval counts as maxval.
        {"P3 maxval 15", "P3\n2 1\n15\n15 0 0  99 99 99\n", {77, 255}},
        {"P3 maxval 1000", "P3 1 1 1000\n500 500 500\n", {127}},
        {"P6 cut", "P6\n2 1\n255\nabcde", {}},
    };
    for (const PpmCase& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder recorder;
        const std::string path = WriteScratchFile("colour.ppm", c.bytes);
        const std::optional<SourceImage> image = LoadImageFile(path, recorder.Sink());
        if (c.pixels.empty()) {
            EXPECT_FALSE(image.has_value());
            EXPECT_EQ(recorder.Messages(),
                      std::vector<std::string>{
                          "ERROR: truncated input file (not enough pixel data)\n  in '" + path +
                          "': 2 x 1 pixels need 6 bytes, the file holds 5\n"});
            continue;
        }
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->levels, 256);
        EXPECT_EQ(image->pixels, c.pixels);
    }
}

// A PNG named ".pgm" and a bitmap named ".dib" convert; the seed formats do not change.
TEST(PictureReaders, SignatureWinsOverTheName) {
    const std::vector<std::uint8_t> png = FileBytes(TestDataPath("im_grey7x5.png"));
    const std::optional<SourceImage> image =
        LoadImageFile(WriteScratchFile("logo.pgm", png), MessageSink{});
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels, Grey7x5());
}

} // namespace
