// Files that are no picture ztr reads, known by their first bytes: other picture formats,
// and documents, archives and videos that are handed over by mistake, so that a refusal
// can say what the file is instead of what it is not.
#pragma once

#include "outcome.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The pictures ztr reads, as messages list them.
inline constexpr const char* READ_FORMATS = "BMP, PBM, PGM, PPM, PNG, GIF, JPEG and TGA";

// What a file is, with its article: "a TIFF picture", "an SVG picture", "a PDF document".
// Nothing when its first bytes carry none of the signatures known here.
std::optional<std::string> ForeignFormat(std::span<const std::uint8_t> bytes);

// The refusal of a file that is WHAT: ForeignFile, which ztr does not read; for a Zentra
// file ZentraNotPicture, no picture but what ztr makes of pictures.
Outcome ForeignFormatOutcome(const std::string& name, const std::string& what);
