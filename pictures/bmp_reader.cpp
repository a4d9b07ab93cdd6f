// ReadBmpImage: uncompressed Windows bitmaps of 1, 4 or 8 bits per pixel into a
// SourceImage of one scaled colour-table index per pixel, bottom row first, with the
// colour table of 4- and 8-bit bitmaps in the palette. The pixels are read where the
// file's data offset says, when that offset is plausible.
#include "checked_size.h"
#include "input_file.h"
#include "little_endian.h"
#include "picture_readers.h"

#include <array>
#include <new>
#include <vector>

namespace {

// The file header (14 bytes), a 40-byte information header and a 256-entry table.
constexpr std::size_t HEADER_BLOCK_BYTES = 1078;
constexpr std::uint64_t FILE_HEADER_BYTES = 14;

// Offsets of the fields used, from the start of the file.
constexpr std::size_t OFFSET_DATA = 10;
constexpr std::size_t OFFSET_INFO_SIZE = 14;
constexpr std::size_t OFFSET_WIDTH = 18;
constexpr std::size_t OFFSET_HEIGHT = 22;
constexpr std::size_t OFFSET_PLANES = 26;
constexpr std::size_t OFFSET_BIT_COUNT = 28;
constexpr std::size_t OFFSET_COMPRESSION = 30;
constexpr std::size_t OFFSET_COLOUR_COUNT = 46;

const char* const MESSAGE_INVALID = "ERROR: file '%s' has an invalid or unsupported format\n";
const char* const MESSAGE_NO_MEMORY = "ERROR: insufficient memory\n";
const char* const MESSAGE_TRUNCATED = "ERROR: truncated input file (not enough pixel data)\n";

constexpr std::uint32_t COMPRESSION_NONE = 0;
constexpr std::uint32_t COMPRESSION_BIT_FIELDS = 3;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;

// Copies levels table entries (blue, green, red, reserved on disk) into the palette as
// red, green, blue. Entries past the end of the file stay zero.
void ReadColourTable(InputFile& file, std::uint64_t tableOffset, std::int32_t levels,
                     std::array<std::uint8_t, PALETTE_BYTES>& palette) {
    std::array<std::uint8_t, 4 * 256> table{};
    file.Seek(tableOffset);
    file.Read(table.data(), 4 * static_cast<std::size_t>(levels));
    for (std::size_t i = 0; i < static_cast<std::size_t>(levels); ++i) {
        palette[3 * i + 0] = table[4 * i + 2];
        palette[3 * i + 1] = table[4 * i + 1];
        palette[3 * i + 2] = table[4 * i + 0];
    }
}

// Unpacks one stored row of indices, leftmost pixel in the most significant bits, and
// scales each to 0-255: index * 255 / (levels - 1).
void UnpackRow(const std::uint8_t* row, std::uint16_t bitCount, std::size_t width,
               std::uint8_t* out) {
    switch (bitCount) {
    case 1:
        for (std::size_t x = 0; x < width; ++x) {
            out[x] = ((row[x / 8] >> (7 - x % 8)) & 1) ? 255 : 0;
        }
        break;
    case 4:
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t byte = row[x / 2];
            const int index = (x % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
            out[x] = static_cast<std::uint8_t>(index * 17);
        }
        break;
    default:
        for (std::size_t x = 0; x < width; ++x) {
            out[x] = row[x];
        }
        break;
    }
}

} // namespace

bool IsHighColourBitmap(const std::uint8_t* head, std::size_t count) {
    if (count < OFFSET_COMPRESSION + 4 || head[0] != 'B' || head[1] != 'M') {
        return false;
    }
    const std::uint16_t bitCount = GetU16LE(&head[OFFSET_BIT_COUNT]);
    const std::uint32_t compression = GetU32LE(&head[OFFSET_COMPRESSION]);
    const bool bitFields = compression == COMPRESSION_BIT_FIELDS && bitCount != 24;
    return GetU16LE(&head[OFFSET_PLANES]) == 1 &&
           (bitCount == 16 || bitCount == 24 || bitCount == 32) &&
           (compression == COMPRESSION_NONE || bitFields) &&
           GetU32LE(&head[OFFSET_INFO_SIZE]) >= INFO_HEADER_BYTES;
}

Readout ReadBmpPicture(const std::string& path) {
    InputFile file;
    if (!file.Open(path)) {
        return ReadFailure("ERROR: failed to open file '%s' for reading\n", path.c_str());
    }

    std::array<std::uint8_t, HEADER_BLOCK_BYTES> header{};
    file.Read(header.data(), header.size());

    const std::uint16_t planes = GetU16LE(&header[OFFSET_PLANES]);
    const std::uint16_t bitCount = GetU16LE(&header[OFFSET_BIT_COUNT]);
    const std::uint32_t compression = GetU32LE(&header[OFFSET_COMPRESSION]);
    if (header[0] != 'B' || header[1] != 'M' || planes != 1 || compression != 0 ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8)) {
        return ReadFailure(MESSAGE_INVALID, path.c_str());
    }

    Readout result;
    SourceImage& image = result.frames.emplace_back();
    image.indexed = true;
    image.width = GetI32LE(&header[OFFSET_WIDTH]);
    image.height = GetI32LE(&header[OFFSET_HEIGHT]);
    image.levels = 1 << bitCount;
    // A negative height marks rows stored top row first.
    const bool topDown = image.height < 0 && image.height != INT32_MIN;
    if (topDown) {
        image.height = -image.height;
    }

    // Row bits taken up to a multiple of 32, in bytes; 64-bit so no width can wrap it.
    const std::int64_t strideSigned =
        ((std::int64_t{bitCount} * image.width + 31) & ~std::int64_t{31}) / 8;
    const std::uint32_t infoSize = GetU32LE(&header[OFFSET_INFO_SIZE]);
    std::uint64_t colourCount = GetU32LE(&header[OFFSET_COLOUR_COUNT]);
    if (colourCount == 0) {
        colourCount = static_cast<std::uint64_t>(image.levels);
    }
    // The colour table stands right behind the information header, whatever its size.
    // The pixel data follow colour-count entries of it, unless the file's own data
    // offset lies further on and inside the file (tools may leave a gap before them).
    const std::uint64_t tableOffset = FILE_HEADER_BYTES + infoSize;
    const std::uint64_t tableEnd = tableOffset + 4 * colourCount;
    const std::uint64_t dataOffset = GetU32LE(&header[OFFSET_DATA]);
    const std::uint64_t pixelOffset =
        dataOffset >= tableEnd && dataOffset < file.Size() ? dataOffset : tableEnd;

    ReadColourTable(file, tableOffset, image.levels, image.colourTable);
    if (bitCount != 1) {
        image.palette = image.colourTable;
    }
    if (image.width < 1 || image.height < 1) {
        return result;
    }

    const auto width = static_cast<std::size_t>(image.width);
    const auto height = static_cast<std::size_t>(image.height);
    const std::size_t pixelsPerByte = 8 / bitCount;
    const std::size_t usedBytes = (width + pixelsPerByte - 1) / pixelsPerByte;
    const auto stride = static_cast<std::uint64_t>(strideSigned);
    std::size_t pixelCount = 0;
    if (!CheckedMultiply(width, height, pixelCount)) {
        return ReadFailure(MESSAGE_NO_MEMORY);
    }
    // Every row but the last is read with its padding; the last row's padding may be
    // missing. A file too short for that is refused before anything is allocated.
    file.Seek(pixelOffset);
    const std::uint64_t needed = stride * (height - 1) + usedBytes;
    if (file.Remaining() < needed) {
        return ReadFailure(MESSAGE_TRUNCATED);
    }

    std::vector<std::uint8_t> row;
    try {
        image.pixels.resize(pixelCount);
        row.resize(usedBytes);
    } catch (const std::bad_alloc&) {
        return ReadFailure(MESSAGE_NO_MEMORY);
    } catch (const std::length_error&) {
        return ReadFailure(MESSAGE_NO_MEMORY);
    }

    for (std::size_t y = 0; y < height; ++y) {
        if (y > 0) {
            file.Skip(stride - usedBytes);
        }
        if (file.Read(row.data(), usedBytes) != usedBytes) {
            return ReadFailure(MESSAGE_TRUNCATED);
        }
        UnpackRow(row.data(), bitCount, width, image.pixels.data() + y * width);
    }
    if (topDown) {
        ReverseRows(image.pixels.data(), width, height);
    }
    return result;
}

std::optional<SourceImage> ReadBmpImage(const std::string& path, const MessageSink& sink) {
    return ReportedFirstFrame(ReadBmpPicture(path), sink);
}
