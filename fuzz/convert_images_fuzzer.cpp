// Structure-aware fuzz target: the conversion writer against the viewer's decoder. The
// input chooses a few small pictures (each later picture a changed copy of the one
// before), display types and a delay. The pictures are grey (raw PGM files), or colour
// (raw PPM files) when a type has depth 16 or 24. The written file must list one
// sequence per type with the right flags, and every frame decoded with build-up must give
// back the picture scaled to 8 bits: a grey record its grey level (a colour picture's
// luminance) at the type's level whose shown grey is nearest, a 24-bit record the
// colours, a 16-bit record the top 5, 6 and 5 bits of each channel, widened again.
// A depth the writer cannot pack must fail the conversion and leave no file behind.
#include "bitmap_rgb.h"
#include "colour_to_grey.h"
#include "convert_images.h"
#include "decode_record.h"
#include "fuzz_support.h"
#include "record_walk.h"
#include "type_code.h"
#include "zentra_format.h"

#include <filesystem>
#include <vector>

namespace {

constexpr unsigned MAX_SIDE = 33;
constexpr unsigned MAX_PICTURES = 4;
constexpr unsigned MAX_TYPES = 3;

struct Picture {
    std::vector<std::uint8_t> samples; // width x height x channels, 0 .. maxval
};

// A raw PGM of one sample a pixel, or a raw PPM of three.
void WritePnm(const std::string& path, unsigned width, unsigned height, unsigned maxval,
              unsigned channels, const Picture& picture) {
    const std::string header = (channels == 3 ? "P6\n" : "P5\n") + std::to_string(width) + " " +
                               std::to_string(height) + "\n" + std::to_string(maxval) + "\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), picture.samples.begin(), picture.samples.end());
    fuzz::WriteFile(path, bytes.data(), bytes.size());
}

// The pixel that the decoder shows at column x of picture row top (0 = top): the bitmap
// is bottom-up and packs pixels of 1, 2 and 4 bits from the most significant end.
unsigned ShownPixel(const DisplayBitmap& bitmap, unsigned x, unsigned top) {
    const std::uint8_t* row =
        bitmap.pixels->data() +
        static_cast<std::size_t>(bitmap.height - 1 - static_cast<int>(top)) * bitmap.stride;
    const unsigned bit = x * bitmap.depth;
    return (row[bit / 8] >> (8 - bitmap.depth - bit % 8)) & ((1u << bitmap.depth) - 1);
}

std::uint8_t Scaled(unsigned sample, unsigned maxval) {
    return static_cast<std::uint8_t>(sample * 255 / maxval);
}

// The grey pixel of a grey record at column x, picture row top.
unsigned ExpectedPixel(const Picture& picture, std::size_t at, unsigned channels, unsigned maxval,
                       unsigned depth) {
    const std::uint8_t* s = &picture.samples[at * channels];
    const unsigned grey =
        channels == 3 ? Luminance(Scaled(s[0], maxval), Scaled(s[1], maxval), Scaled(s[2], maxval))
                      : Scaled(s[0], maxval);
    // Without dithering a grey keeps its top bits: at depth 1 light from 128, at depth 2
    // 64 to 127 is level 1, at depth 4 each level spans 16 greys.
    return grey >> (8 - depth);
}

// A colour channel as a record of the depth shows it: at depth 16 its top bits repeated.
std::uint8_t ExpectedChannel(unsigned sample, unsigned maxval, unsigned depth, unsigned bits) {
    const unsigned value = Scaled(sample, maxval);
    if (depth == 24) {
        return static_cast<std::uint8_t>(value);
    }
    const unsigned top = value >> (8 - bits);
    return static_cast<std::uint8_t>(top << (8 - bits) | top >> (2 * bits - 8));
}

constexpr std::uint8_t PACKED_DEPTHS[] = {1, 2, 4};
constexpr std::uint8_t COLOUR_DEPTHS[] = {16, 24};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string base = fuzz::ScratchPath("picture");
    fuzz::InputStream in(data, size);

    const unsigned width = 1 + in.Below(MAX_SIDE);
    const unsigned height = 1 + in.Below(MAX_SIDE);
    const unsigned maxval = 1 + in.Below(255);
    const unsigned pictureCount = 1 + in.Below(MAX_PICTURES);
    const bool animation = (in.Byte() & 1) != 0; // the first picture again at the end
    const unsigned typeCount = 1 + in.Below(MAX_TYPES);
    std::vector<std::uint32_t> typeCodes;
    bool packable = true;
    bool colour = false; // a colour type: the pictures are PPM files
    for (unsigned t = 0; t < typeCount; ++t) {
        const std::uint8_t layout = in.Byte() & LAYOUT_BITS;
        const std::uint8_t choice = in.Byte();
        const std::uint8_t depth = choice < 100   ? PACKED_DEPTHS[choice % 3]
                                   : choice < 170 ? 8
                                   : choice < 240 ? COLOUR_DEPTHS[choice % 2]
                                                  : in.Byte();
        packable = packable && IsWrittenDepth(depth);
        colour = colour || IsColourDepth(depth);
        typeCodes.push_back(MakeTypeCode(layout, depth));
    }
    const unsigned channels = colour ? 3 : 1;
    const int delay = static_cast<int>(in.Byte()) * 300 + in.Byte();

    // Picture 0 from the input; each later one a copy with one rectangle repainted.
    const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
    std::vector<Picture> pictures(pictureCount);
    pictures[0].samples.resize(pixelCount * channels);
    for (std::uint8_t& sample : pictures[0].samples) {
        sample = static_cast<std::uint8_t>(in.Byte() % (maxval + 1));
    }
    for (unsigned i = 1; i < pictureCount; ++i) {
        pictures[i] = pictures[i - 1];
        const unsigned x0 = in.Below(width);
        const unsigned y0 = in.Below(height);
        const unsigned w = 1 + in.Below(width - x0);
        const unsigned h = 1 + in.Below(height - y0);
        for (unsigned y = y0; y < y0 + h; ++y) {
            for (unsigned x = x0; x < x0 + w; ++x) {
                for (unsigned c = 0; c < channels; ++c) {
                    pictures[i].samples[(y * width + x) * channels + c] =
                        static_cast<std::uint8_t>(in.Byte() % (maxval + 1));
                }
            }
        }
    }

    std::vector<std::string> paths;
    for (unsigned i = 0; i < pictureCount; ++i) {
        paths.push_back(base + std::to_string(i) + (colour ? ".ppm" : ".pgm"));
        WritePnm(paths.back(), width, height, maxval, channels, pictures[i]);
    }
    std::vector<const Picture*> frames;
    for (const Picture& picture : pictures) {
        frames.push_back(&picture);
    }
    if (animation) {
        paths.push_back(paths.front());
        frames.push_back(&pictures.front());
    }
    const std::string output = OutputPathFor(paths.front());
    std::filesystem::remove(output);

    const Outcome result =
        WritePicturesAsFrames(paths, typeCodes, delay, ConversionContext{fuzz::SilentSink()});
    if (paths.size() > 1 && !DelayFits(delay)) {
        fuzz::Require(!result.Ok(), "a delay beyond 16 bits is refused");
        fuzz::Require(!std::filesystem::exists(output), "a refused conversion leaves no file");
        return 0;
    }
    if (!packable) {
        fuzz::Require(!result.Ok(), "an unpackable depth fails the conversion");
        fuzz::Require(!std::filesystem::exists(output), "a failed conversion leaves no file");
        return 0;
    }
    fuzz::Require(result.Ok(), "conversion of valid pictures succeeds");

    const std::optional<std::vector<ListedRecord>> records = ListRecords(output);
    const std::size_t n = frames.size();
    fuzz::Require(records && records->size() == typeCount * n, "one record per type and frame");

    DisplayBitmap bitmap;
    for (unsigned t = 0; t < typeCount; ++t) {
        const unsigned depth = TypeCodeDepth(typeCodes[t]);
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t index = t * n + k;
            const ListedRecord& record = (*records)[index];
            fuzz::Require(record.header.depth == depth, "record depth is the type's");
            fuzz::Require(((record.header.layout & RECORD_DELTA) != 0) == (k > 0),
                          "only later frames are delta records");
            fuzz::Require(((record.header.layout & RECORD_LAST_FRAME) != 0) ==
                              (k > 0 && k + 1 == n),
                          "only the last frame of a longer sequence is marked last");
            if (k > 0) {
                fuzz::Require(record.delta.delay == delay, "delta records carry the delay");
            }

            DecodeRecord(output, static_cast<int>(index), true, bitmap);
            fuzz::Require(bitmap.pixels.has_value(), "frame decodes");
            fuzz::Require(bitmap.width == static_cast<int>(width) &&
                              bitmap.height == static_cast<int>(height) && bitmap.depth == depth,
                          "frame has the picture's size and the type's depth");
            const Picture& expected = *frames[k];
            std::vector<std::uint8_t> row(3 * static_cast<std::size_t>(width));
            for (unsigned y = 0; y < height; ++y) {
                if (IsColourDepth(depth)) {
                    BitmapRowToRgb(bitmap, static_cast<int>(y), row.data());
                }
                for (unsigned x = 0; x < width; ++x) {
                    const std::size_t at = static_cast<std::size_t>(y) * width + x;
                    if (!IsColourDepth(depth)) {
                        fuzz::Require(ShownPixel(bitmap, x, y) ==
                                          ExpectedPixel(expected, at, channels, maxval, depth),
                                      "decoded frame equals the converted picture");
                        continue;
                    }
                    for (unsigned c = 0; c < 3; ++c) {
                        fuzz::Require(row[3 * x + c] ==
                                          ExpectedChannel(expected.samples[at * 3 + c], maxval,
                                                          depth, c == 1 ? 6 : 5),
                                      "decoded colour frame equals the converted picture");
                    }
                }
            }
        }
    }
    std::filesystem::remove(output);
    return 0;
}
