// Fuzz target: LoadImageFrames and LoadImageFile over every format. The first input byte
// picks the file name's extension (bits 0-3), every frame or the first (bit 4), the
// background (bit 5) and whether colours are kept (bit 6); the rest is the file. Every result must
// be a well-formed picture, both entry points must agree, and the project's own readers must give
// what they give when called directly.
#include "fuzz_support.h"
#include "picture_format.h"
#include "picture_readers.h"
#include "source_image.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 16> EXTENSIONS{
    ".bmp", ".BMP", ".pgm", ".pbm", ".dib", ".tga",  ".TGA", ".png",
    ".gif", "",     ".ppm", ".jpg", ".bMp", ".bmpx", ".tgA", ".pnm",
};

bool SameImage(const SourceImage& a, const SourceImage& b) {
    return a.width == b.width && a.height == b.height && a.levels == b.levels &&
           a.pixels == b.pixels && a.palette == b.palette;
}

void CheckFrames(const std::vector<SourceImage>& frames, const SourceReadOptions& options) {
    fuzz::Require(!frames.empty(), "a picture has a frame");
    fuzz::Require(options.allFrames || frames.size() == 1, "one frame unless all are asked");
    std::size_t total = 0;
    for (const SourceImage& frame : frames) {
        fuzz::Require(frame.width == frames.front().width && frame.height == frames.front().height,
                      "frames of one size");
        if (frame.pixels.empty()) {
            fuzz::Require(frame.width < 1 || frame.height < 1, "no pixels only for no size");
            continue;
        }
        fuzz::Require(static_cast<std::size_t>(frame.width) *
                              static_cast<std::size_t>(frame.height) ==
                          frame.pixels.size(),
                      "width x height pixels");
        fuzz::Require(frame.rgb.size() == (options.colours ? 3 * frame.pixels.size() : 0),
                      "three colour bytes a pixel when asked, none otherwise");
        total += frame.pixels.size();
    }
    fuzz::Require(frames.size() == 1 || total <= MAX_FRAME_PIXELS, "frames within the limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string path = fuzz::ScratchPath("load") + EXTENSIONS[data[0] & 0x0F];
    SourceReadOptions options;
    options.allFrames = (data[0] & 0x10) != 0;
    options.background = (data[0] & 0x20) != 0 ? 0 : 255;
    options.colours = (data[0] & 0x40) != 0;
    fuzz::WriteFile(path, data + 1, size - 1);

    const std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(path, options, fuzz::SilentSink());
    const std::optional<SourceImage> first = LoadImageFile(path, fuzz::SilentSink());
    // The project's own readers, where signature and name agree on one of them.
    PictureFormat format = NameFormat(path);
    const PictureFormat byName = format;
    SignatureFormat(data + 1, std::min<std::size_t>(size - 1, PICTURE_HEAD_BYTES), format);
    const bool ownReader =
        format == byName && (format == PictureFormat::Pnm || format == PictureFormat::Bitmap);
    std::optional<SourceImage> direct;
    if (ownReader) {
        direct = format == PictureFormat::Pnm ? ReadPnmImage(path, fuzz::SilentSink())
                                              : ReadBmpImage(path, fuzz::SilentSink());
    }
    std::remove(path.c_str());

    fuzz::Require(frames.has_value() == first.has_value(), "both entry points agree");
    if (!frames) {
        fuzz::Require(!ownReader || !direct, "the own reader refuses it too");
        return 0;
    }
    CheckFrames(*frames, options);
    if (options.background == 255) {
        fuzz::Require(SameImage(frames->front(), *first), "the first frame is LoadImageFile's");
    }
    if (ownReader) {
        fuzz::Require(direct.has_value(), "the own reader reads it too");
        if (format == PictureFormat::Bitmap && !direct->pixels.empty()) {
            ReverseRows(direct->pixels.data(), static_cast<std::size_t>(direct->width),
                        static_cast<std::size_t>(direct->height));
        }
        // The direct readers compose alpha over white.
        if (direct->indexed || format == PictureFormat::Pnm || options.background == 255) {
            fuzz::Require(SameImage(frames->front(), *direct),
                          "equal to the own reader, top first");
        }
    }
    return 0;
}
