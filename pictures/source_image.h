// SourceImage: a decoded source picture, one grey byte per pixel (and, when asked for,
// its colours beside them), top row first, and the readers that make one from a bitmap,
// PBM, PGM, PPM, PNG, GIF, JPEG or TGA file.
#pragma once

#include "report_message.h"
#include "zentra_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t PALETTE_BYTES = 768; // 256 entries of red, green, blue

struct SourceImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t levels = 0; // sample values the source can hold: 2 .. 256
    // width x height bytes, each sample scaled to 0-255 (grey level, or the scaled
    // colour-table index of a bitmap). Empty when width or height is below 1.
    std::vector<std::uint8_t> pixels;
    // The palette that records of this picture carry: the colour table of a 4- or 8-bit
    // bitmap; all zero for every other source (a 1-bit bitmap's two colours are not
    // carried: its records show black and white).
    std::array<std::uint8_t, PALETTE_BYTES> recordPalette{};
    // True for 1-, 4- and 8-bit bitmaps, whose bytes are scaled colour-table indices and
    // whose colourTable holds the file's table (for 1-bit bitmaps too), from which colours
    // and luminance are taken; every other source holds grey levels.
    bool indexed = false;
    std::array<std::uint8_t, PALETTE_BYTES> colourTable{};
    // The colours beside the grey levels, when the reader was asked for them (else
    // empty): width x height x 3 bytes of red, green, blue, in the order of `pixels`.
    // True-colour sources give their colours over the background as for grey, indexed
    // ones their table's colours, grey ones their grey in all three.
    std::vector<std::uint8_t> rgb;
    // How long this frame of an animated source is shown, in milliseconds; -1 when the
    // source gives no time (every source but GIF).
    int delay = -1;
    // With SourceReadOptions::keepAlpha, the opacity of every pixel of a frame that has
    // transparent pixels, in the order of `pixels`, whose grey levels and colours are then
    // not yet composited (CompositeOverBackground does it); empty for an opaque frame.
    std::vector<std::uint8_t> alpha{};
};

// How colour sources become grey, and how many frames are wanted.
struct SourceReadOptions {
    std::uint8_t background = 255; // under transparent pixels: white (255) or black (0)
    bool allFrames = false;        // every frame of a GIF, else its first only
    bool colours = false;          // keep the colours in SourceImage::rgb too
    // Keep transparent frames uncomposited with their alpha, so that one reading serves
    // any background (the conversion of a picture for several panels reads it once).
    bool keepAlpha = false;
};

// The most pixels of one picture, and of all frames of an animation together: 2^28, as in
// 16384 x 16384. Reading takes up to 8 bytes a pixel (red, green, blue and alpha while
// decoding, then grey levels and colours), about 2 GB at the limit; every reader refuses
// a larger picture by the size its header announces, before it decodes anything.
inline constexpr std::size_t MAX_FRAME_PIXELS = std::size_t{1} << 28;

// Chooses the reader by the file's signature, else by its name (see picture_format.h),
// and gives every picture top row first: one picture, or with allFrames every frame of
// a GIF. Reports every failure as an outcome (ReportOutcome) to `sink`, once, and then returns
// nothing. Reads the whole file and hands its bytes to LoadImageFramesFromMemory.
std::optional<std::vector<SourceImage>>
LoadImageFrames(const std::string& path, const SourceReadOptions& options, const MessageSink& sink);

// The same from a picture file's bytes already in memory; `name` is the file's name, which
// chooses the reader when the bytes carry no known signature and stands in every message.
std::optional<std::vector<SourceImage>>
LoadImageFramesFromMemory(std::span<const std::uint8_t> bytes, const std::string& name,
                          const SourceReadOptions& options, const MessageSink& sink);

// The first frame of LoadImageFrames, colour over a white background.
std::optional<SourceImage> LoadImageFile(const std::string& path, const MessageSink& sink);

// Reverses the order of the rows of a raster in place.
void ReverseRows(std::uint8_t* pixels, std::size_t rowLength, std::size_t rowCount);
