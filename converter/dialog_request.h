// The conversion request that the converter's "&Convert" makes of its lists and options,
// free of the window system so that it can be checked against ztr's on any machine.
#pragma once

#include "conversion_request.h"
#include "display_profiles.h"

#include <cstdint>
#include <string>
#include <vector>

// The request for the file list's pictures and the type list's codes, each code with its
// profile (null for none: its palette and measured colours come from it). The delay field
// counts only for an animation, where 0 lets a GIF's frames keep their own delays. The
// converter gives its types no panel: records keep the pictures' size and the tone
// options' background.
ConversionRequest DialogRequest(const std::vector<std::string>& pictures,
                                const std::vector<std::uint32_t>& codes,
                                const std::vector<const DisplayProfile*>& profiles, bool animation,
                                int delayField, const ToneOptions& tone, CodingChoice coding);
