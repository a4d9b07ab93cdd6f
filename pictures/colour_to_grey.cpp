// Luminance and alpha compositing for colour sources.
#include "colour_to_grey.h"

#include "checked_size.h"
#include "source_image.h"

#include <algorithm>
#include <array>
#include <new>

void RgbaToGrey(const std::uint8_t* rgba, std::size_t count, std::uint8_t background,
                std::uint8_t* grey) {
    for (std::size_t i = 0; i < count; ++i, rgba += 4) {
        grey[i] = OverBackground(Luminance(rgba[0], rgba[1], rgba[2]), rgba[3], background);
    }
}

void RgbaToColours(const std::uint8_t* rgba, std::size_t count, std::uint8_t background,
                   std::uint8_t* rgb) {
    for (std::size_t i = 0; i < count; ++i, rgba += 4, rgb += 3) {
        for (int c = 0; c < 3; ++c) {
            rgb[c] = OverBackground(rgba[c], rgba[3], background);
        }
    }
}

void CompositeOverBackground(SourceImage& image, std::uint8_t background) {
    if (image.alpha.empty()) {
        return;
    }
    const bool colours = image.rgb.size() == 3 * image.alpha.size();
    for (std::size_t i = 0; i < image.alpha.size() && i < image.pixels.size(); ++i) {
        const std::uint8_t alpha = image.alpha[i];
        image.pixels[i] = OverBackground(image.pixels[i], alpha, background);
        if (colours) {
            for (std::size_t c = 3 * i; c < 3 * i + 3; ++c) {
                image.rgb[c] = OverBackground(image.rgb[c], alpha, background);
            }
        }
    }
    std::vector<std::uint8_t>().swap(image.alpha);
}

namespace {

bool IsIndexed(const SourceImage& image) {
    return image.indexed && image.levels >= 2 && image.levels <= 256;
}

// The table colour of every stored byte of an indexed bitmap. A stored byte is
// index * 255 / (levels - 1), exact for 2, 16 and 256 levels.
const std::uint8_t* TableColour(const SourceImage& image, int byte) {
    const int index = byte / (255 / (image.levels - 1));
    return &image.colourTable[3 * static_cast<std::size_t>(index)];
}

} // namespace

bool AddColours(SourceImage& image) {
    if (!image.rgb.empty() || image.pixels.empty()) {
        return true;
    }
    std::size_t bytes = 0;
    if (!CheckedMultiply(image.pixels.size(), 3, bytes)) {
        return false;
    }
    try {
        image.rgb.resize(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::array<std::uint8_t, 3 * 256> colours{};
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint8_t grey = static_cast<std::uint8_t>(byte);
        const std::uint8_t own[3] = {grey, grey, grey};
        const std::uint8_t* colour = IsIndexed(image) ? TableColour(image, byte) : own;
        std::copy(colour, colour + 3, &colours[3 * static_cast<std::size_t>(byte)]);
    }
    std::uint8_t* out = image.rgb.data();
    for (const std::uint8_t pixel : image.pixels) {
        const std::uint8_t* colour = &colours[3 * static_cast<std::size_t>(pixel)];
        out = std::copy(colour, colour + 3, out);
    }
    return true;
}

void IndicesToLuminance(SourceImage& image) {
    if (!IsIndexed(image)) {
        return;
    }
    std::uint8_t grey[256];
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint8_t* colour = TableColour(image, byte);
        grey[byte] = Luminance(colour[0], colour[1], colour[2]);
    }
    for (std::uint8_t& pixel : image.pixels) {
        pixel = grey[pixel];
    }
    image.recordPalette.fill(0);
    image.indexed = false;
}
