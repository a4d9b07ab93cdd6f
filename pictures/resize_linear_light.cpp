// stb_image_resize, compiled once for the engine in this translation unit: the resampler
// behind --resize. Nothing else of stb is compiled into the engine.
#include "resize_linear_light.h"

#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

bool ResizeLinearLight(const std::uint8_t* in, int width, int height, std::uint8_t* out,
                       int outWidth, int outHeight, int channels) {
    return stbir_resize_uint8_srgb(in, width, height, 0, out, outWidth, outHeight, 0, channels,
                                   STBIR_ALPHA_CHANNEL_NONE, 0) != 0;
}
