// Fuzz target: LoadImageFrames and LoadImageFile over every format. The first input byte
// picks the file name's extension (bits 0-3), every frame or the first (bit 4), the
// background (bit 5) and whether colours are kept (bit 6); the rest is the file. Every result
// must be a well-formed picture; the same file read twice from fresh state must give the same
// picture; the file and memory entry points and LoadImageFile must agree; and the project's
// PBM/PGM/PPM and bitmap readers must give what they give when called directly.
#include "first_frame.h"
#include "picture_checks.h"
#include "picture_format.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 16> EXTENSIONS{
    ".bmp", ".BMP", ".pgm", ".pbm", ".dib", ".tga",  ".TGA", ".png",
    ".gif", "",     ".ppm", ".jpg", ".bMp", ".bmpx", ".tgA", ".pnm",
};

bool SameImage(const SourceImage& a, const SourceImage& b) {
    return a.width == b.width && a.height == b.height && a.levels == b.levels &&
           a.pixels == b.pixels && a.recordPalette == b.recordPalette;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string path = fuzz::ScratchPath("load") + EXTENSIONS[data[0] & 0x0F];
    const SourceReadOptions options = fuzz::OptionsOf(data[0]);
    const PictureBytes bytes(data + 1, size - 1);
    fuzz::WriteFile(path, bytes.data(), bytes.size());

    const std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(path, options, fuzz::SilentSink());
    const std::optional<std::vector<SourceImage>> again =
        LoadImageFrames(path, options, fuzz::SilentSink());
    const std::optional<std::vector<SourceImage>> fromMemory =
        LoadImageFramesFromMemory(bytes, path, options, fuzz::SilentSink());
    const std::optional<SourceImage> first = LoadImageFile(path, fuzz::SilentSink());
    // The project's own readers, where signature and name agree on one of them.
    PictureFormat format = NameFormat(path);
    const PictureFormat byName = format;
    SignatureFormat(bytes.data(), std::min<std::size_t>(bytes.size(), PICTURE_HEAD_BYTES), format);
    const bool ownReader =
        format == byName && (format == PictureFormat::Pnm || format == PictureFormat::Bitmap);
    std::optional<SourceImage> direct;
    if (ownReader) {
        direct = format == PictureFormat::Pnm ? ReadPnmFirstFrame(path, fuzz::SilentSink())
                                              : ReadBmpFirstFrame(path, fuzz::SilentSink());
    }
    std::remove(path.c_str());

    fuzz::Require(frames.has_value() == again.has_value() &&
                      (!frames || fuzz::SameFrames(*frames, *again)),
                  "the same file read twice gives the same picture");
    fuzz::Require(frames.has_value() == fromMemory.has_value() &&
                      (!frames || fuzz::SameFrames(*frames, *fromMemory)),
                  "the file and its bytes give the same picture");
    fuzz::Require(frames.has_value() == first.has_value(), "both entry points agree");
    if (!frames) {
        fuzz::Require(!ownReader || !direct, "the own reader refuses it too");
        return 0;
    }
    fuzz::CheckFrames(*frames, options, true);
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
