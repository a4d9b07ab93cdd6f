// From colour to grey: one grey level per pixel by luminance, alpha composited over a
// white or black background, for colour sources and for bitmaps read by their colours;
// and the colours kept beside the grey levels for colour records.
#pragma once

#include <cstddef>
#include <cstdint>

struct SourceImage;

// Y = (77 R + 150 G + 29 B + 128) >> 8; a grey colour (R = G = B) keeps its level.
inline std::uint8_t Luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b + 128) >> 8);
}

// grey = (Y A + background (255 - A) + 127) / 255: opaque pixels keep Y, clear ones
// become the background.
inline std::uint8_t OverBackground(std::uint8_t y, std::uint8_t alpha, std::uint8_t background) {
    return static_cast<std::uint8_t>((y * alpha + background * (255 - alpha) + 127) / 255);
}

// count pixels of red, green, blue, alpha into count grey levels.
void RgbaToGrey(const std::uint8_t* rgba, std::size_t count, std::uint8_t background,
                std::uint8_t* grey);

// count pixels of red, green, blue, alpha into count red, green, blue triples, each
// channel composited over the background as the grey level is.
void RgbaToColours(const std::uint8_t* rgba, std::size_t count, std::uint8_t background,
                   std::uint8_t* rgb);

// Composites a frame read with SourceReadOptions::keepAlpha over the background, its grey
// levels and its colours (when it has them) as the readers do, and lets go of its alpha.
// A frame without alpha is left as it is.
void CompositeOverBackground(SourceImage& image, std::uint8_t background);

// Gives a source that came without colours its colours: an indexed bitmap its table's
// colours, every other source its grey level in all three channels. False when memory
// ran out; a source that has its colours keeps them.
bool AddColours(SourceImage& image);

// A bitmap's scaled colour-table indices become the luminance of their table colours,
// and the palette that records would carry is cleared. Other sources (grey already)
// are left as they are.
void IndicesToLuminance(SourceImage& image);
