// The readers behind LoadImageFrames. Each gives its frames or the one message that
// says why there are none, without reporting it: the loader decides which reader's
// message the user sees and reports it once.
#pragma once

#include "picture_format.h"
#include "source_image.h"

#include <string>
#include <vector>

struct Readout {
    std::vector<SourceImage> frames; // top row first (bitmaps: bottom row first)
    std::string failure;             // the message; empty on success
};

// A failed Readout with a printf-style message.
Readout ReadFailure(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The first frame, or nothing after the failure has been reported.
std::optional<SourceImage> ReportedFirstFrame(Readout readout, const MessageSink& sink);

// PPM colours go to rgb only when the options ask for them.
Readout ReadPnmPicture(const std::string& path, const SourceReadOptions& options);
Readout ReadBmpPicture(const std::string& path);

// PNG, GIF, JPEG, TGA and 16/24/32-bit bitmaps through stb, as grey levels and, when
// the options ask for them, colours.
Readout ReadStbPicture(const std::string& path, PictureFormat format,
                       const SourceReadOptions& options);

// True when a bitmap's headers (the file's first count bytes) describe one of 16, 24 or
// 32 bits per pixel, uncompressed or with bit fields, that stb reads.
bool IsHighColourBitmap(const std::uint8_t* head, std::size_t count);

// The bytes of a file's start that reader choice looks at.
inline constexpr std::size_t PICTURE_HEAD_BYTES = 64;
