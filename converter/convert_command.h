// "&Convert": hands the file list and the type list to the conversion writer, once for all
// pictures as an animation or once per picture, and reports how it went.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The writer as the dialog calls it; ConvertImages unless a test puts a recorder here.
using ConvertImagesFunction = int (*)(const std::vector<std::string>& picturePaths,
                                      const std::vector<std::uint32_t>& typeCodes, int delay);
extern ConvertImagesFunction ConvertPictures;

inline constexpr const char* NO_SOURCE_FILES_TEXT =
    "No source files in the file list.\nPlease add one or more images by clicking on the "
    "\"Add file\" button.";
inline constexpr const char* NO_TARGET_TYPES_TEXT =
    "No target types selected.\nPlease add one or \"zentra types\" by clicking on the \"Add "
    "bitmap/display type\" button.";
inline constexpr const char* INSUFFICIENT_MEMORY_TEXT = "Insufficient memory.";
inline constexpr const char* FINISHED_TEXT = "Finished image conversion.";

// The delay field read as an unsigned number; 0 when it is empty or not a number.
unsigned int ReadDelayField(HWND dialog);

// Runs the checks and the conversion for the dialog's current lists and options.
void ConvertLists(HWND dialog);
