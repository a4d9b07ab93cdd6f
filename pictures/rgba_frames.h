// What the readers of colour pictures share (PNG, GIF, JPEG, TGA, 16/24/32-bit bitmaps):
// the checks of the size a header announces, made before anything is allocated (the
// limit on pixels every reader keeps), and decoded frames of red, green, blue and alpha
// turned into grey levels and colours.
#pragma once

#include "picture_format.h"
#include "picture_readers.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The size that a picture's header announces, once checked.
struct AnnouncedSize {
    int width = 0;
    int height = 0;
    std::size_t pixels = 0; // width x height
};

// The format's name in messages: "PNG", "GIF", "JPEG", "TGA", "PBM/PGM/PPM" or "bitmap".
const char* FormatName(PictureFormat format);

// "ERROR: file 'NAME' is not a valid FORMAT picture"; for a bitmap "ERROR: file 'NAME' has
// an invalid or unsupported format" with "not a valid bitmap" on the line after it.
Readout NotValidPicture(const std::string& name, PictureFormat format);

// "ERROR: file 'NAME' is too large (W x H pixels; the limit is ...)" when a side of a
// picture of that size (both at least 1) is above MAX_PICTURE_SIDE or it has more pixels
// than MAX_FRAME_PIXELS, else nothing. Every reader checks the size its header announces
// with it before it allocates anything for the pixels.
std::optional<Readout> RefuseTooLarge(const std::string& name, std::int64_t width,
                                      std::int64_t height);

// Checks a header's width and height: each at least 1, within the limits of
// RefuseTooLarge, and no more pixels than fileSize bytes of the format could code at its
// best ratio, so that no small file makes a decoder allocate for a huge picture. The
// failure, or nothing with size filled.
std::optional<Readout> RefuseAnnouncedSize(PictureFormat format, const std::string& name,
                                           std::int64_t width, std::int64_t height,
                                           std::uint64_t fileSize, AnnouncedSize& size);

// Appends a decoded frame of size.pixels pixels of red, green, blue, alpha: its grey levels
// over the options' background and, when asked, its colours. False, with the readout's
// failure set, when all frames together would pass MAX_FRAME_PIXELS or memory ran out.
bool AppendRgbaFrame(Readout& readout, const std::uint8_t* rgba, const AnnouncedSize& size,
                     int delay, const SourceReadOptions& options, const std::string& name);

// An empty frame of the announced size, its grey levels (and colours when asked) to be
// filled row by row; false, with the readout's failure set, as for AppendRgbaFrame.
bool AppendEmptyFrame(Readout& readout, const AnnouncedSize& size, int delay,
                      const SourceReadOptions& options, const std::string& name);

// Turns row y of a frame, width pixels of red, green, blue, alpha, into its grey levels over
// the background and, when the frame has colours, its colours.
void PutRgbaRow(SourceImage& frame, std::size_t y, const std::uint8_t* rgba,
                std::uint8_t background);
