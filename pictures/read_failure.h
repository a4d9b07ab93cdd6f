// The failures a picture reader hands back: the engine's own first line, which users and
// scripts match and which is always printed whole, and where the engine has one, a second
// line that names the file and says what exactly is wrong with it.
#pragma once

#include "picture_readers.h"

#include <cstdint>
#include <string>

// First lines of the failures that every reader of the engine shares.
inline constexpr char TEXT_WRONG_IMAGE_TYPE[] = "Wrong or unsupported image type";
inline constexpr char TEXT_INVALID_PNM_IMAGE[] = "Invalid PBM/PGM/PPM image";
inline constexpr char TEXT_TRUNCATED[] = "ERROR: truncated input file (not enough pixel data)";
inline constexpr char TEXT_NO_MEMORY[] = "ERROR: insufficient memory\n";

// "LINE\n  in 'NAME': DETAIL\n", the detail printf-style.
std::string DetailedText(const std::string& line, const std::string& name, const char* detail, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A failed Readout of that text.
Readout DetailedFailure(const std::string& line, const std::string& name, const char* detail, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// A bitmap the engine does not read: "ERROR: file 'NAME' has an invalid or unsupported
// format", then the detail.
Readout UnsupportedBitmap(const std::string& name, const char* detail, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// "ERROR: invalid size (width=W, height=H)" for a picture with a side of no pixels (or more
// than the engine takes), the file named on the line after it.
std::string InvalidSizeText(const std::string& name, std::int64_t width, std::int64_t height);

// A file whose first word is not a PBM/PGM/PPM format number ("P1" to "P6"), and one that
// holds no word at all but comments and white space.
Readout NotPnmHeader(const std::string& name);
Readout NoPnmHeader(const std::string& name);

// Pixel data that end too early, for a picture of width x height pixels; with the bytes the
// pixels need and the bytes the file holds for them where the reader knows both.
Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height);
Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height,
                         std::uint64_t needed, std::uint64_t held);
