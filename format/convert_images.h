// ConvertImages: the conversion writer. Turns source pictures into one Zentra file next
// to the first picture, one sequence of records (a full frame, then delta frames) for
// every chosen display type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Returns 0 when the whole file was written, 1 after a failure already reported through
// ReportMessage. The file is written under a temporary name in the output's folder and
// takes the output's name only when complete, so a failure leaves no partial file and an
// existing output untouched.
int ConvertImages(const std::vector<std::string>& picturePaths,
                  const std::vector<std::uint32_t>& typeCodes, int delay);

// The output path for a first picture path: the extension (from the last ".", unless a
// "\" or "/" follows it) replaced by ".ztr".
std::string OutputPathFor(const std::string& firstPicture);

inline constexpr std::size_t MAX_PATH_CHARS = 259; // the platform's path limit
