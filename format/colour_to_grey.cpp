// Luminance and alpha compositing for colour sources.
#include "colour_to_grey.h"

#include "source_image.h"

void RgbaToGrey(const std::uint8_t* rgba, std::size_t count, std::uint8_t background,
                std::uint8_t* grey) {
    for (std::size_t i = 0; i < count; ++i, rgba += 4) {
        grey[i] = OverBackground(Luminance(rgba[0], rgba[1], rgba[2]), rgba[3], background);
    }
}

void IndicesToLuminance(SourceImage& image) {
    if (!image.indexed || image.levels < 2 || image.levels > 256) {
        return;
    }
    // A stored byte is index * 255 / (levels - 1), exact for 2, 16 and 256 levels.
    const int step = 255 / (image.levels - 1);
    std::uint8_t grey[256];
    for (int byte = 0; byte < 256; ++byte) {
        const int index = byte / step;
        const std::uint8_t* colour = &image.colourTable[3 * static_cast<std::size_t>(index)];
        grey[byte] = Luminance(colour[0], colour[1], colour[2]);
    }
    for (std::uint8_t& pixel : image.pixels) {
        pixel = grey[pixel];
    }
    image.palette.fill(0);
    image.indexed = false;
}
