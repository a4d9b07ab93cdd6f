// The engine's resampling in linear light against stb_image_resize's own
// stbir_resize_uint8_srgb, compiled here for the comparison: byte for byte the same for
// reductions, enlargements and both at once, grey and colour, edges and one-pixel sides.
#include "resize_linear_light.h"

#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes StbResize(const Bytes& in, int width, int height, int outWidth, int outHeight, int channels) {
    Bytes out(static_cast<std::size_t>(outWidth) * outHeight * channels);
    EXPECT_EQ(stbir_resize_uint8_srgb(in.data(), width, height, 0, out.data(), outWidth, outHeight,
                                      0, channels, STBIR_ALPHA_CHANNEL_NONE, 0),
              1);
    return out;
}

Bytes EngineResize(const Bytes& in, int width, int height, int outWidth, int outHeight,
                   int channels) {
    Bytes out(static_cast<std::size_t>(outWidth) * outHeight * channels);
    EXPECT_TRUE(
        ResizeLinearLight(in.data(), width, height, out.data(), outWidth, outHeight, channels));
    return out;
}

struct SizeCase {
    int width;
    int height;
    int outWidth;
    int outHeight;
};

TEST(ResizeLinearLight, GivesStbsBytes) {
    const SizeCase sizes[] = {
        {320, 240, 240, 180},                    // the usual reduction
        {97, 45, 31, 17},     {61, 37, 128, 64}, // enlarged both ways
        {67, 41, 200, 13},                       // wider and much lower
        {13, 200, 67, 41},    {75, 33, 75, 17},  // one axis at scale 1
        {5, 3, 9, 2},         {1, 1, 7, 5},      {7, 5, 1, 1},     {2, 1, 1, 1}, {255, 3, 2, 3},
        {3, 255, 3, 2},       {41, 29, 40, 28},  {41, 29, 42, 30}, // scales just below and above 1
    };
    std::mt19937 random(17);
    for (const SizeCase& size : sizes) {
        for (const int channels : {1, 3}) {
            SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) + " to " +
                         std::to_string(size.outWidth) + " x " + std::to_string(size.outHeight) +
                         ", channels " + std::to_string(channels));
            // Noise, and a picture of hard edges: black, white and a gradient.
            Bytes noise(static_cast<std::size_t>(size.width) * size.height * channels);
            Bytes edges(noise.size());
            for (std::size_t i = 0; i < noise.size(); ++i) {
                noise[i] = static_cast<std::uint8_t>(random());
                const std::size_t x = i / channels % static_cast<std::size_t>(size.width);
                edges[i] = x % 7 == 0 ? 0 : x % 7 < 4 ? 255 : static_cast<std::uint8_t>(i * 37);
            }
            for (const Bytes* picture : {&noise, &edges}) {
                EXPECT_EQ(EngineResize(*picture, size.width, size.height, size.outWidth,
                                       size.outHeight, channels),
                          StbResize(*picture, size.width, size.height, size.outWidth,
                                    size.outHeight, channels));
            }
        }
    }
}

} // namespace
