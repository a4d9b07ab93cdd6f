// ztr convert with the pictures people have: PNGs equal to the PGM of their greys, GIF
// frames with their own delays, the tone options, a colour photo for colour displays, and
// top-down bitmaps like their bottom-up twins.
#include "colour_bitmaps.h"
#include "ztr_runner.h"

#include <gtest/gtest.h>

#ifdef ZENTRA_HAVE_PNG
#include <png.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path Data(const std::string& name) {
    return fs::path(ZENTRA_TEST_DATA) / name;
}

// Converts a copy of each test picture under its own name and compares the outputs.
TEST(ZtrPictures, PngsGiveTheBytesOfTheirGreysAsPgm) {
    struct SameCase {
        const char* picture;
        const char* reference;
    };
    const SameCase cases[] = {
        {"im_grey7x5.png", "seed_grey7x5.pgm"},
        {"im_grey7x5_16.png", "seed_grey7x5.pgm"},
        {"im_colour7x5_rgb.png", "pil_colour7x5_luma.pgm"},
        {"im_colour7x5_palette.png", "pil_colour7x5_luma.pgm"},
        {"im_colour7x5_rgb16.png", "pil_colour7x5_luma.pgm"},
        {"pil_colour7x5_rgb.png", "pil_colour7x5_luma.pgm"},
        {"pil_colour7x5_palette.png", "pil_colour7x5_luma.pgm"},
    };
    ScratchDirectory dir("pictures-png");
    for (const SameCase& c : cases) {
        SCOPED_TRACE(c.picture);
        fs::copy_file(Data(c.picture), dir / "picture.png", fs::copy_options::overwrite_existing);
        fs::copy_file(Data(c.reference), dir / "reference.pgm",
                      fs::copy_options::overwrite_existing);
        for (const char* code : {"0x10000", "0x80001"}) {
            const ZtrResult a = RunZtr({"convert", "--code", code, "picture.png"}, dir.path());
            const ZtrResult b = RunZtr({"convert", "--code", code, "reference.pgm"}, dir.path());
            ASSERT_EQ(a.status, 0) << a.err;
            ASSERT_EQ(b.status, 0) << b.err;
            EXPECT_EQ(ReadWholeFile(dir / "picture.ztr"), ReadWholeFile(dir / "reference.ztr"));
        }
    }
    // RGBA converts too (over white).
    fs::copy_file(Data("pil_colour7x5_rgba.png"), dir / "alpha.png");
    EXPECT_EQ(RunZtr({"convert", "--code", "0x10000", "alpha.png"}, dir.path()).status, 0);
}

TEST(ZtrPictures, GifFramesCarryTheirOwnDelays) {
    ScratchDirectory dir("pictures-gif");
    fs::copy_file(Data("im_anim9x7.gif"), dir / "anim.gif");
    // GIF delays 10, 20 and 30 hundredths: each delta record carries the time of the frame
    // it completes, the last one (back to the first frame) the first frame's.
    ZtrResult result =
        RunZtr({"convert", "--code", "0x10000", "--animation", "anim.gif"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunZtr({"list", "anim.ztr"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string expectedDelays[] = {"200ms", "300ms", "100ms"};
    std::size_t at = 0;
    for (const std::string& delay : expectedDelays) {
        at = result.out.find("delta frame " + delay, at);
        EXPECT_NE(at, std::string::npos) << delay << " in\n" << result.out;
    }
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 4);

    // --delay holds for every record.
    result = RunZtr({"convert", "--code", "0x10000", "--animation", "--delay", "70", "anim.gif"},
                    dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunZtr({"list", "anim.ztr"}, dir.path());
    std::size_t seventy = 0;
    for (std::size_t at70 = result.out.find("delta frame 70ms"); at70 != std::string::npos;
         at70 = result.out.find("delta frame 70ms", at70 + 1)) {
        ++seventy;
    }
    EXPECT_EQ(seventy, 3u) << result.out;

    // Without --animation only the first frame.
    result = RunZtr({"convert", "--code", "0x10000", "anim.gif"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunZtr({"list", "anim.ztr"}, dir.path());
    EXPECT_EQ(result.out, "9 x 7 monochrome, layout 00 [row order]\n");
}

TEST(ZtrPictures, ToneOptionsAndTheirErrors) {
    ScratchDirectory dir("pictures-tone");
    fs::copy_file(Data("seed_grey7x5.pgm"), dir / "grey.pgm");
    ZtrResult result =
        RunZtr({"convert",      "--code",   "0x10000",  "--resize",    "12x4",    "--rotate",
                "90",           "--dither", "atkinson", "--threshold", "auto",    "--invert",
                "--mirror",     "x",        "--mirror", "y",           "--fit",   "cover",
                "--background", "black",    "--tone",   "luminance",   "grey.pgm"},
               dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunZtr({"list", "grey.ztr"}, dir.path());
    EXPECT_EQ(result.out, "12 x 4 monochrome, layout 00 [row order]\n");
    // Default options change nothing: --threshold 128 and --dither none are the defaults.
    const ZtrResult plain = RunZtr({"convert", "--code", "0x10000", "grey.pgm"}, dir.path());
    const std::string plainBytes = ReadWholeFile(dir / "grey.ztr");
    RunZtr({"convert", "--code", "0x10000", "--threshold", "128", "--dither", "none", "--tone",
            "index", "grey.pgm"},
           dir.path());
    EXPECT_EQ(ReadWholeFile(dir / "grey.ztr"), plainBytes);
    ASSERT_EQ(plain.status, 0);

    const char* refused[][2] = {{"--threshold", "300"}, {"--dither", "bayer9"},
                                {"--resize", "0x5"},    {"--fit", "fill"},
                                {"--rotate", "45"},     {"--mirror", "z"},
                                {"--tone", "colour"},   {"--background", "grey"}};
    for (const auto& option : refused) {
        SCOPED_TRACE(option[0]);
        result =
            RunZtr({"convert", "--code", "0x10000", option[0], option[1], "grey.pgm"}, dir.path());
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("invalid value"), std::string::npos) << result.err;
    }
}

// The colour photo's top-left pixel is yellow (255, 255, 0): RGB565 FFE0. A 16-bit
// record in row order with reversed pixel order stores it high byte first, right after
// the 12-byte header (two literals, as neither byte is the coder's starting 0), and
// renders it back as yellow. A 24-bit record in row order renders every pixel exactly.
TEST(ZtrPictures, ColourPhotoFor16And24BitDisplays) {
    ScratchDirectory dir("colour-photo");
    const fs::path sample = fs::path(ZENTRA_TEST_DATA) / ".." / ".." / "data" / "samples";
    fs::copy_file(sample / "photo_43x29.png", dir / "photo.png");

    ZtrResult result = RunZtr({"convert", "--code", "0x100004", "photo.png"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string record = ReadWholeFile(dir / "photo.ztr");
    ASSERT_GE(record.size(), 14u);
    EXPECT_EQ(record.substr(6, 2), std::string("\x04\x10", 2)); // lay-out, depth 16
    EXPECT_EQ(record.substr(12, 2), "\xFF\xE0");
    ASSERT_EQ(RunZtr({"render", "photo.ztr", "0", "-o", "photo16.ppm"}, dir.path()).status, 0);
    const std::string head = "P6\n43 29\n255\n";
    const std::string yellow("\xFF\xFF\x00", 3);
    EXPECT_EQ(ReadWholeFile(dir / "photo16.ppm").substr(0, head.size() + 3), head + yellow);

    result = RunZtr({"convert", "--code", "0x180000", "photo.png"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(RunZtr({"render", "photo.ztr", "0", "-o", "photo24.ppm"}, dir.path()).status, 0);
    const std::string rendered = ReadWholeFile(dir / "photo24.ppm");
    ASSERT_EQ(rendered.size(), head.size() + 43 * 29 * 3);
    EXPECT_EQ(rendered.substr(head.size(), 3), yellow);
#ifdef ZENTRA_HAVE_PNG
    // Every pixel against the photo as libpng reads it.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const std::string png = ReadWholeFile(dir / "photo.png");
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
    image.format = PNG_FORMAT_RGB;
    std::string rgb(PNG_IMAGE_SIZE(image), '\0');
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    EXPECT_TRUE(rendered.substr(head.size()) == rgb);
#endif
}

// A top-down 13 x 7 bitmap (negative height, rows stored top first) converts to the same
// grey and colour records as the same picture stored bottom-up, at 16, 24 and 32 bits.
TEST(ZtrPictures, TopDownBitmapsConvertLikeTheirBottomUpTwins) {
    ScratchDirectory dir("top-down");
    for (const std::uint16_t bitCount : {16, 24, 32}) {
        SCOPED_TRACE(bitCount);
        readers_test::ColourBmp form;
        form.width = 13;
        form.height = 7;
        form.bitCount = bitCount;
        std::vector<std::uint32_t> values;
        for (std::uint32_t i = 0; i < 13 * 7; ++i) {
            values.push_back((i * 0x9E3779B9u) >> 8 | 0xFF000000u);
        }
        const auto write = [&](const char* name) {
            const std::vector<std::uint8_t> file = readers_test::MakeColourBmp(form, values);
            std::ofstream(dir / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(file.data()),
                       static_cast<std::streamsize>(file.size()));
        };
        write("up.bmp");
        form.topDown = true;
        write("down.bmp");
        for (const char* code : {"0x80000", "0x180000"}) {
            SCOPED_TRACE(code);
            ASSERT_EQ(RunZtr({"convert", "--code", code, "up.bmp"}, dir.path()).status, 0);
            const ZtrResult down = RunZtr({"convert", "--code", code, "down.bmp"}, dir.path());
            ASSERT_EQ(down.status, 0) << down.err;
            const std::string expected = ReadWholeFile(dir / "up.ztr");
            EXPECT_GT(expected.size(), 13u * 7u);
            EXPECT_TRUE(ReadWholeFile(dir / "down.ztr") == expected);
        }
    }
}

} // namespace
