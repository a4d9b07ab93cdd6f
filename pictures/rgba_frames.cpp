// Announced sizes and RGBA frames for the colour readers. The size limits are those
// every reader of the engine keeps: sides of 1 to MAX_PICTURE_SIDE, one frame of at most
// MAX_FRAME_PIXELS and the pixels of all frames of one picture together no more.
#include "rgba_frames.h"

#include "colour_to_grey.h"
#include "read_failure.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

// The most pixels that size bytes of the format can code: a PNG row of 1-bit pixels
// deflated at deflate's best ratio (1032:1); a JPEG at one bit per 8 x 8 block at
// least; a GIF whose LZW codes of 12 bits carry at most 4096 pixels each; a TGA run of
// 128 pixels in two bytes; a bitmap at two bytes a pixel.
std::uint64_t MostPixels(PictureFormat format, std::uint64_t size) {
    switch (format) {
    case PictureFormat::Png:
        return size * 1032 * 8;
    case PictureFormat::Jpeg:
        return size * 64 * 8;
    case PictureFormat::Gif:
        return size * 4096;
    case PictureFormat::Tga:
        return size * 64;
    default:
        return size / 2;
    }
}

Readout TooManyFrames(const std::string& name) {
    return Refused(OutcomeCode::TooManyFrames, name, OutcomeDetail::None,
                   {static_cast<std::int64_t>(MAX_FRAME_PIXELS)});
}

} // namespace

const char* FormatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Tga:
        return "TGA";
    case PictureFormat::Pnm:
        return "PBM/PGM/PPM";
    default:
        return "bitmap";
    }
}

std::optional<Readout> RefuseTooLarge(const std::string& name, std::int64_t width,
                                      std::int64_t height) {
    const bool sidesFit = width <= MAX_PICTURE_SIDE && height <= MAX_PICTURE_SIDE;
    if (sidesFit && static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
                        MAX_FRAME_PIXELS) {
        return std::nullopt;
    }
    return Refused(OutcomeCode::PictureTooLarge, name, OutcomeDetail::None,
                   {width, height, static_cast<std::int64_t>(MAX_FRAME_PIXELS)});
}

Readout NotValidPicture(const std::string& name, PictureFormat format) {
    if (format == PictureFormat::Bitmap) {
        return UnsupportedBitmap(name, OutcomeDetail::NotValidBitmap);
    }
    return Refused(OutcomeCode::NotValidPicture, name, OutcomeDetail::None, {},
                   {FormatName(format)});
}

std::optional<Readout> RefuseAnnouncedSize(PictureFormat format, const std::string& name,
                                           std::int64_t width, std::int64_t height,
                                           std::uint64_t fileSize, AnnouncedSize& size) {
    if (width < 1 || height < 1) {
        Readout refused;
        refused.failure = InvalidSize(name, width, height);
        return refused;
    }
    // A picture above the limit is refused by its size alone, before anything is decoded.
    if (std::optional<Readout> tooLarge = RefuseTooLarge(name, width, height)) {
        return tooLarge;
    }
    size.width = static_cast<int>(width);
    size.height = static_cast<int>(height);
    size.pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (size.pixels > MostPixels(format, fileSize)) {
        return TruncatedPicture(name, size.width, size.height);
    }
    return std::nullopt;
}

bool AppendEmptyFrame(Readout& readout, const AnnouncedSize& size, int delay,
                      const SourceReadOptions& options, const std::string& name) {
    if ((readout.frames.size() + 1) * size.pixels > MAX_FRAME_PIXELS) {
        readout.failure = TooManyFrames(name).failure;
        return false;
    }
    SourceImage frame;
    frame.width = size.width;
    frame.height = size.height;
    frame.levels = 256;
    frame.delay = delay;
    try {
        frame.pixels.resize(size.pixels);
        if (options.colours) {
            frame.rgb.resize(3 * size.pixels);
        }
        if (options.keepAlpha) {
            frame.alpha.resize(size.pixels);
        }
        readout.frames.push_back(std::move(frame));
    } catch (const std::bad_alloc&) {
        readout.failure = Outcome{OutcomeCode::OutOfMemory};
        return false;
    }
    return true;
}

namespace {

// count pixels of red, green, blue, alpha from pixel `first` on, kept as they are: the grey
// levels and colours of opaque pixels, with the alpha that CompositeOverBackground takes.
void PutUncompositedPixels(SourceImage& frame, std::size_t first, std::size_t count,
                           const std::uint8_t* rgba) {
    const bool colours = !frame.rgb.empty();
    for (std::size_t i = first; i < first + count; ++i, rgba += 4) {
        frame.pixels[i] = Luminance(rgba[0], rgba[1], rgba[2]);
        frame.alpha[i] = rgba[3];
        if (colours) {
            std::copy_n(rgba, 3, &frame.rgb[3 * i]);
        }
    }
}

} // namespace

void PutRgbaRow(SourceImage& frame, std::size_t y, const std::uint8_t* rgba,
                std::uint8_t background) {
    const auto width = static_cast<std::size_t>(frame.width);
    if (!frame.alpha.empty()) {
        PutUncompositedPixels(frame, y * width, width, rgba);
        return;
    }
    RgbaToGrey(rgba, width, background, frame.pixels.data() + y * width);
    if (!frame.rgb.empty()) {
        RgbaToColours(rgba, width, background, frame.rgb.data() + 3 * y * width);
    }
}

bool AppendRgbaFrame(Readout& readout, const std::uint8_t* rgba, const AnnouncedSize& size,
                     int delay, const SourceReadOptions& options, const std::string& name) {
    if (!AppendEmptyFrame(readout, size, delay, options, name)) {
        return false;
    }
    SourceImage& frame = readout.frames.back();
    if (!frame.alpha.empty()) {
        PutUncompositedPixels(frame, 0, size.pixels, rgba);
        return true;
    }
    RgbaToGrey(rgba, size.pixels, options.background, frame.pixels.data());
    if (options.colours) {
        RgbaToColours(rgba, size.pixels, options.background, frame.rgb.data());
    }
    return true;
}
