// Writing an 8-bit RGB picture as a PNG file through libpng.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// Fills rgb with the 3 x width bytes (red, green, blue) of picture row y, top row first.
using RgbRowSource = std::function<void(std::uint32_t y, std::uint8_t* rgb)>;

// True when this build can write PNG files.
bool PngAvailable();

// Writes the whole picture to the open file; false when libpng reports an error or the
// build has no PNG support.
bool WritePng(std::FILE* file, std::uint32_t width, std::uint32_t height,
              const RgbRowSource& rowSource);
