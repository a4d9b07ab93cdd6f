// The failures a picture reader hands back, as outcomes (outcome.h): the engine's own first
// line, which users and scripts match, and where the engine has one, the detail that says
// what exactly is wrong with the file. Their texts are made in one place, OutcomeText.
#pragma once

#include "picture_readers.h"

#include <cstdint>
#include <initializer_list>
#include <string>

// A failed Readout of the outcome.
Readout Refused(Outcome outcome);

// A failed Readout: CODE for the file, with its detail, numbers and words.
Readout Refused(OutcomeCode code, const std::string& name,
                OutcomeDetail detail = OutcomeDetail::None,
                std::initializer_list<std::int64_t> numbers = {},
                std::initializer_list<std::string> words = {});

// Memory ran out while reading.
Readout NoMemory();

// A bitmap the engine does not read: "has an invalid or unsupported format", then the detail.
Readout UnsupportedBitmap(const std::string& name, OutcomeDetail detail,
                          std::initializer_list<std::int64_t> numbers = {},
                          std::initializer_list<std::string> words = {});

// A picture with a side of no pixels (or more than the engine takes).
Outcome InvalidSize(const std::string& name, std::int64_t width, std::int64_t height);

// A file whose first word is not a PBM/PGM/PPM format number ("P1" to "P6"), and one that
// holds no word at all but comments and white space.
Readout NotPnmHeader(const std::string& name);
Readout NoPnmHeader(const std::string& name);

// Pixel data that end too early, for a picture of width x height pixels; with the bytes the
// pixels need and the bytes the file holds for them where the reader knows both.
Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height);
Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height,
                         std::uint64_t needed, std::uint64_t held);
