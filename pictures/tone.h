// Tone: what happens to a source picture's grey levels (and colours, when it keeps them)
// between reading and packing, in this order: rotate, mirror, resize/fit, invert, then
// threshold or dithering to the target's 2^depth levels, or dithering per channel for a
// 16-bit colour record. Every picture of a conversion gets the same treatment.
#pragma once

#include "dither_methods.h"
#include "source_image.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class ToneSource {
    Index,     // bitmaps keep their scaled colour-table indices and their palette
    Luminance, // bitmaps become the luminance of their table colours
};
enum class Fit { Contain, Cover, Stretch };

// The grey level from which a depth-1 pixel is light, unless --threshold says otherwise.
inline constexpr int DEFAULT_THRESHOLD = 128;

// Saturation, in thousandths: how far the colours that pictures are matched against move
// from a panel palette's nominal colours (0) to the colours the panel shows, as measured
// (SATURATION_ONE). Matching against what the panel shows puts its coloured inks wherever
// the picture has their colour; the measurements in docs/pictures.md chose the default.
inline constexpr int SATURATION_ONE = 1000;
inline constexpr int DEFAULT_SATURATION = SATURATION_ONE;

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
    int threshold = DEFAULT_THRESHOLD; // depth 1: level 1 when grey >= threshold
    bool autoThreshold = false;        // Otsu's threshold of the conversion's first picture
    Dither dither = Dither::None;
    // Colours instead of grey levels: a palette's name, colour list or file (see
    // load_palette.h), or, when empty, an adaptive palette of `colours` colours (2 to
    // 256; 0 for none). Either makes every record of depth 1 to 8 an indexed record with
    // its palette, and 16- and 24-bit records the palette's colours.
    std::string palette;
    int colours = 0;
    int saturation = DEFAULT_SATURATION; // 0 to SATURATION_ONE
};

// The most colours an adaptive palette may have.
inline constexpr int MAX_ADAPTIVE_COLOURS = 256;

// True when the options change grey levels beyond what the source gives (resizing,
// inverting, another threshold, dithering): indexed bitmaps are then read by luminance.
bool ChangesGreyLevels(const ToneOptions& options);

// Where the picture itself lies in a shaped raster: all of it, or the part inside the
// margins that a contain fit added.
struct PictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Rotation, mirroring, resizing and inversion, of the grey levels and of the colours
// alike, for a record of `depth` bits; indexed bitmaps first become luminance when the
// options ask for it. Resizing averages light, except for records of depth 1: there each
// new pixel is the mean of the coded greys under it by area (ResizeByArea), so that a
// dark stroke narrower than the new pixels stays as dark as the share of the pixel it
// covers (a black line one pixel wide, halved, is grey 127, dark at the default threshold,
// and not the 188 of half the light).
// `area`, when given, receives where the picture lies in the result. False when memory
// ran out.
bool ShapePicture(SourceImage& image, const ToneOptions& options, int depth, PictureArea* area);

// The same for any depth but 1 (resizing in light), without the area.
bool ShapePicture(SourceImage& image, const ToneOptions& options);

// Otsu's threshold of a grey picture: the level N that best splits it into pixels below N
// and pixels at or above N (between-class variance at its largest).
int OtsuThreshold(const std::uint8_t* pixels, std::size_t count);

// Otsu's threshold of the picture's own pixels within a shaped raster: margins that a fit
// added, all of the background, would else weigh in as a class of their own.
int OtsuThreshold(const SourceImage& image, const PictureArea& area);

// Quantises a width x height grey picture for a record of depth bits (1 to 8), aiming at
// the greys its levels are shown with (ShownGrey: 0, 64, 128, 255 at depth 2), each level
// stored as its shown grey, whose top bits the packer takes. Without dithering the greys
// stay as they are and the packer takes their top bits (a shown grey gives back its level,
// and pictures of exact levels k x 255 / (2^depth - 1) keep them), depth 1 moving every grey by
// 128 - threshold so that a packer's "light from 128" means "light from threshold". With
// dithering the picture becomes the shown greys, the threshold moving the greys the same
// way at depth 1, so that the shown picture keeps the source's brightness.
// Error diffusion runs over each row left to right, rows top to bottom; ordered dithering
// takes the Bayer cell at the pixel's own coordinates. Pictures whose bytes are colour-
// table indices (indexed bitmaps with their palette) are not for this.
void QuantisePicture(std::uint8_t* pixels, int width, int height, int depth, int threshold,
                     Dither dither);

// Quantises a width x height picture of red, green, blue triples for a colour record.
// At depth 16 with dithering each channel becomes exactly its 32, 64 or 32 levels
// (stored as level * 255 / maximum, whose top 5, 6 or 5 bits are the level), dithered
// channel by channel as QuantisePicture dithers grey. Without dithering, and at depth 24,
// the colours stay as they are: a 16-bit record takes their top bits. The threshold
// never applies to colours. False when memory ran out.
bool QuantiseColours(std::uint8_t* rgb, int width, int height, int depth, Dither dither);

// Parsing of the option words used by ztr and the converter's settings (the dithering
// words are those of DITHER_METHODS); false when the text is none of them.
bool ParseDither(const std::string& text, Dither& dither);
bool ParseFit(const std::string& text, Fit& fit);
const char* DitherName(Dither dither);
const char* FitName(Fit fit);
