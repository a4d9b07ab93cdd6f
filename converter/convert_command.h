// "&Convert": hands the file list and the type list to the engine's conversion loop, once
// for all pictures as an animation or once per picture, and reports how it went.
#pragma once

#include "conversion_request.h"
#include "display_profiles.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The conversion run as the dialog calls it; RunConversion unless a test puts a recorder
// here.
using ConvertPicturesFunction = Outcome (*)(const ConversionRequest& request,
                                            const ConversionEnvironment& environment);
extern ConvertPicturesFunction ConvertPictures;

inline constexpr const char* NO_SOURCE_FILES_TEXT =
    "No source files in the file list.\nPlease add one or more images by clicking on the "
    "\"Add file\" button.";
inline constexpr const char* NO_TARGET_TYPES_TEXT =
    "No target types selected.\nPlease add one or \"zentra types\" by clicking on the \"Add "
    "bitmap/display type\" button.";
inline constexpr const char* INSUFFICIENT_MEMORY_TEXT = "Insufficient memory.";
inline const std::string DELAY_RANGE_TEXT =
    "The delay must be between 0 and " + std::to_string(MAX_DELAY_MS) + " ms.";
inline constexpr const char* FINISHED_TEXT = "Finished image conversion.";

// The delay field as an unsigned decimal number: 0 when it is empty, nothing when its
// text is not a number of at most 32 bits.
std::optional<unsigned int> ReadDelayField(HWND dialog);

// Runs the checks and the conversion for the dialog's current lists and options, with the
// profiles the dialog loaded behind its type list.
void ConvertLists(HWND dialog, const DisplayProfileList& loadedProfiles);
