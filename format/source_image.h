// SourceImage: a decoded source picture, one byte per pixel, top row first, and the
// readers that make one from a bitmap, PBM or PGM file.
#pragma once

#include "report_message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr std::size_t PALETTE_BYTES = 768; // 256 entries of red, green, blue

struct SourceImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t levels = 0; // sample values the source can hold: 2 .. 256
    // width x height bytes, each sample scaled to 0-255 (grey level, or the scaled
    // colour-table index of a bitmap). Empty when width or height is below 1.
    std::vector<std::uint8_t> pixels;
    // Colour table of a 4- or 8-bit bitmap; all zero for every other source.
    std::array<std::uint8_t, PALETTE_BYTES> palette{};
};

// Chooses the reader by the text from the path's last "." on: ".bmp" in any case reads
// a bitmap (and turns its rows top first); everything else goes to the PBM/PGM reader.
// Reports every failure through ReportMessage to `sink` and then returns nothing.
std::optional<SourceImage> LoadImageFile(const std::string& path, const MessageSink& sink);

// PBM ("P1", "P4") and PGM ("P2", "P5") files; rows top first.
std::optional<SourceImage> ReadPnmImage(const std::string& path, const MessageSink& sink);

// Uncompressed Windows bitmaps of 1, 4 or 8 bits per pixel; rows in file order, bottom
// row first.
std::optional<SourceImage> ReadBmpImage(const std::string& path, const MessageSink& sink);

// Reverses the order of the rows of a raster in place.
void ReverseRows(std::uint8_t* pixels, std::size_t rowLength, std::size_t rowCount);
