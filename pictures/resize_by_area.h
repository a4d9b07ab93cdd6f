// ResizeByArea: resampling by the area each new pixel covers, on the coded values as they
// are, for records of one bit: a dark stroke keeps the darkness of the share of a new
// pixel it covers, so that text and line art halved stay dark where they covered half.
#pragma once

#include <cstdint>

// Resamples a picture of `channels` bytes a pixel to outWidth x outHeight: every new pixel
// is the mean of the old pixels under it, each weighted by the part of it that the new
// pixel covers, rounded down (half black and half white is 127, dark to a threshold of
// 128). Enlarging repeats pixels, blending only where a new pixel straddles two old ones.
// False when memory ran out.
bool ResizeByArea(const std::uint8_t* in, int width, int height, std::uint8_t* out, int outWidth,
                  int outHeight, int channels);
