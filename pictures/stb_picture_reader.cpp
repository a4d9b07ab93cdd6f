// ReadStbPicture: PNG, GIF, JPEG, TGA and 16/24/32-bit bitmaps through stb. The size is
// checked from the header before anything is decoded, and a picture larger than its
// file could possibly hold is refused as truncated, so that no small file makes the
// decoder allocate for a huge picture.
#include "checked_size.h"
#include "colour_to_grey.h"
#include "input_file.h"
#include "picture_readers.h"
#include "stb_codecs.h"

#include <climits>
#include <new>

namespace {

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
    default:
        return "bitmap";
    }
}

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

} // namespace

Readout ReadStbPicture(const std::string& path, PictureFormat format,
                       const SourceReadOptions& options) {
    InputFile file;
    if (!file.Open(path)) {
        return ReadFailure("ERROR: failed to open file '%s' for reading\n", path.c_str());
    }
    const std::uint64_t size = file.Size();
    if (size > static_cast<std::uint64_t>(INT_MAX)) {
        return ReadFailure("ERROR: file '%s' is too large\n", path.c_str());
    }
    std::vector<std::uint8_t> data;
    try {
        data.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return ReadFailure("ERROR: insufficient memory\n");
    }
    if (file.Read(data.data(), data.size()) != data.size()) {
        return ReadFailure("ERROR: failed to open file '%s' for reading\n", path.c_str());
    }

    const std::optional<PictureSize> announced = StbPictureSize(format, data.data(), data.size());
    if (!announced) {
        return ReadFailure("ERROR: file '%s' is not a valid %s picture\n", path.c_str(),
                           FormatName(format));
    }
    const int width = announced->width;
    const int height = announced->height;
    if (width < 1 || height < 1 || width > MAX_SOURCE_SIDE || height > MAX_SOURCE_SIDE) {
        return ReadFailure("ERROR: file '%s' has an invalid picture size (width=%d, height=%d)\n",
                           path.c_str(), width, height);
    }
    std::size_t pixelCount = 0;
    std::size_t colourBytes = 0;
    if (!CheckedMultiply(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                         pixelCount) ||
        !CheckedMultiply(pixelCount, 3, colourBytes) || pixelCount > MostPixels(format, size)) {
        return ReadFailure("ERROR: truncated input file '%s' (not enough data for %d x %d "
                           "pixels)\n",
                           path.c_str(), width, height);
    }

    Readout result;
    bool tooManyFrames = false;
    bool noMemory = false;
    StbDecode(format, data.data(), data.size(),
              [&](const std::uint8_t* rgba, int frameWidth, int frameHeight, int delay) {
                  if (frameWidth != width || frameHeight != height) {
                      return false; // not the size the header announced: taken as damaged
                  }
                  if ((result.frames.size() + 1) * pixelCount > MAX_FRAME_PIXELS) {
                      tooManyFrames = true;
                      return false;
                  }
                  SourceImage frame;
                  frame.width = width;
                  frame.height = height;
                  frame.levels = 256;
                  frame.delay = delay;
                  try {
                      frame.pixels.resize(pixelCount);
                      if (options.colours) {
                          frame.rgb.resize(colourBytes);
                      }
                  } catch (const std::bad_alloc&) {
                      noMemory = true;
                      return false;
                  }
                  RgbaToGrey(rgba, pixelCount, options.background, frame.pixels.data());
                  if (options.colours) {
                      RgbaToColours(rgba, pixelCount, options.background, frame.rgb.data());
                  }
                  result.frames.push_back(std::move(frame));
                  return options.allFrames;
              });
    if (tooManyFrames) {
        return ReadFailure("ERROR: file '%s' has too many frames (more than %llu pixels in all)\n",
                           path.c_str(), static_cast<unsigned long long>(MAX_FRAME_PIXELS));
    }
    if (noMemory) {
        return ReadFailure("ERROR: insufficient memory\n");
    }
    // A GIF damaged after its first frames (or without its end mark) keeps those frames.
    if (result.frames.empty()) {
        return ReadFailure("ERROR: file '%s' is not a valid %s picture\n", path.c_str(),
                           FormatName(format));
    }
    return result;
}
