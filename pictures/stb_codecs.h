// The decoders and the resampler that the engine takes from stb (Debian's libstb-dev):
// PNG, GIF, JPEG, TGA and 16/24/32-bit bitmaps, and resizing in linear light. stb is
// compiled here, in this one translation unit, so every program reads alike.
#pragma once

#include "picture_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The size that the picture's header announces, read without decoding any pixels;
// nothing when the header cannot be read as that format.
std::optional<PictureSize> StbPictureSize(PictureFormat format, const std::uint8_t* data,
                                          std::size_t size);

// Receives each decoded frame: width x height pixels of red, green, blue, alpha (8 bits
// each, 16-bit samples already taken as v >> 8), and the frame's delay in milliseconds
// (-1 for formats without frames). Returns false to stop before the next frame.
using RgbaFrameSink =
    std::function<bool(const std::uint8_t* rgba, int width, int height, int delay)>;

// Decodes the picture (every frame of a GIF, composited as the file says: disposal,
// transparency, frame offsets) into the sink. False when the data cannot be decoded or
// memory ran out; frames already handed over stay valid.
bool StbDecode(PictureFormat format, const std::uint8_t* data, std::size_t size,
               const RgbaFrameSink& sink);

// Resamples a picture of `channels` sRGB-coded bytes a pixel (1 for grey, 3 for red,
// green, blue) to outWidth x outHeight in linear light. False when memory ran out.
bool StbResize(const std::uint8_t* in, int width, int height, std::uint8_t* out, int outWidth,
               int outHeight, int channels);
