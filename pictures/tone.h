// Tone: what happens to a source picture's grey levels (and colours, when it keeps them)
// between reading and packing, in this order: rotate, mirror, resize/fit, invert, then
// threshold or dithering to the target's 2^depth levels, or dithering per channel for a
// 16-bit colour record. Every picture of a conversion gets the same treatment.
#pragma once

#include "source_image.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class ToneSource {
    Index,     // bitmaps keep their scaled colour-table indices and their palette
    Luminance, // bitmaps become the luminance of their table colours
};
enum class Fit { Contain, Cover, Stretch };
enum class Dither { None, FloydSteinberg, Atkinson, Bayer4, Bayer8 };

struct ToneOptions {
    ToneSource source = ToneSource::Index;
    std::uint8_t background = 255; // under transparency and in contain margins
    int rotate = 0;                // clockwise: 0, 90, 180 or 270
    bool mirrorX = false;          // left and right swap
    bool mirrorY = false;          // top and bottom swap
    int resizeWidth = 0;           // 0: the picture keeps its size
    int resizeHeight = 0;
    Fit fit = Fit::Contain;
    bool invert = false;
    int threshold = 128;        // depth 1: level 1 when grey >= threshold
    bool autoThreshold = false; // Otsu's threshold of the conversion's first picture
    Dither dither = Dither::None;
    // Colours instead of grey levels: a palette's name, colour list or file (see
    // load_palette.h), or, when empty, an adaptive palette of `colours` colours (2 to
    // 256; 0 for none). Either makes every record of depth 1 to 8 an indexed record with
    // its palette, and 16- and 24-bit records the palette's colours.
    std::string palette;
    int colours = 0;
};

// The most colours an adaptive palette may have.
inline constexpr int MAX_ADAPTIVE_COLOURS = 256;

inline constexpr int DEFAULT_THRESHOLD = 128;

// True when the options change grey levels beyond what the source gives (resizing,
// inverting, another threshold, dithering): indexed bitmaps are then read by luminance.
bool ChangesGreyLevels(const ToneOptions& options);

// Rotation, mirroring, resizing and inversion, of the grey levels and of the colours
// alike; indexed bitmaps first become luminance when the options ask for it. False when
// memory ran out.
bool ShapePicture(SourceImage& image, const ToneOptions& options);

// Otsu's threshold of a grey picture: the level N that best splits it into pixels below N
// and pixels at or above N (between-class variance at its largest).
int OtsuThreshold(const std::uint8_t* pixels, std::size_t count);

// Quantises a width x height grey picture for a record of depth bits (1 to 8). Without
// dithering, depth 1 moves every grey by 128 - threshold so that a packer's "light from
// 128" means "light from threshold", and deeper records keep their levels. With
// dithering the picture becomes exactly the depth's 2^depth levels, each stored as
// level * 255 / (2^depth - 1); the threshold then moves the greys the same way at
// depth 1. Error diffusion runs over each row left to right, rows top to bottom; ordered
// dithering takes the Bayer cell at the pixel's own coordinates.
void QuantisePicture(std::uint8_t* pixels, int width, int height, int depth, int threshold,
                     Dither dither);

// Quantises a width x height picture of red, green, blue triples for a colour record.
// At depth 16 with dithering each channel becomes exactly its 32, 64 or 32 levels
// (stored as level * 255 / maximum, whose top 5, 6 or 5 bits are the level), dithered
// channel by channel as QuantisePicture dithers grey. Without dithering, and at depth 24,
// the colours stay as they are: a 16-bit record takes their top bits. The threshold
// never applies to colours. False when memory ran out.
bool QuantiseColours(std::uint8_t* rgb, int width, int height, int depth, Dither dither);

// Parsing of the option words used by ztr and the converter's settings; false when the
// text is none of them.
bool ParseDither(const std::string& text, Dither& dither);
bool ParseFit(const std::string& text, Fit& fit);
const char* DitherName(Dither dither);
const char* FitName(Fit fit);
