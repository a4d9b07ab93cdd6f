// ResizeLinearLight: resampling a picture to another size with stb_image_resize (Debian's
// libstb-dev), each channel taken from sRGB to linear light and back, so that averaged
// pixels keep their brightness.
#pragma once

#include <cstdint>

// Resamples a picture of `channels` sRGB-coded bytes a pixel (1 for grey, 3 for red,
// green, blue) to outWidth x outHeight in linear light. False when memory ran out.
bool ResizeLinearLight(const std::uint8_t* in, int width, int height, std::uint8_t* out,
                       int outWidth, int outHeight, int channels);
