// ReadBmpPicture: Windows bitmaps. Those of 1, 4 or 8 bits per pixel (uncompressed, or
// run-length coded at 4 and 8) become one scaled colour-table index per pixel with the
// table; those of 16, 24 or 32 bits per pixel (uncompressed, or with bit fields at 16 and
// 32) become grey levels and colours. Rows come bottom row first, as a bottom-up bitmap
// stores them, at every depth.
#include "bmp_run_length.h"
#include "checked_size.h"
#include "little_endian.h"
#include "memory_input.h"
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <stdexcept>
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
// Red, green, blue and alpha masks: inside the 56-, 108- and 124-byte headers, and the
// first three right behind a 40-byte header with bit fields.
constexpr std::size_t OFFSET_MASKS = 54;

constexpr std::uint32_t COMPRESSION_NONE = 0;
constexpr std::uint32_t COMPRESSION_RLE8 = 1;
constexpr std::uint32_t COMPRESSION_RLE4 = 2;
constexpr std::uint32_t COMPRESSION_BIT_FIELDS = 3;
constexpr std::uint32_t OS2_HEADER_BYTES = 12;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;
constexpr std::uint32_t V3_HEADER_BYTES = 56;
constexpr std::uint32_t V4_HEADER_BYTES = 108;
constexpr std::uint32_t V5_HEADER_BYTES = 124;

// Copies levels table entries (blue, green, red, reserved on disk) into the palette as
// red, green, blue. Entries past the end of the file stay zero.
void ReadColourTable(MemoryInput& input, std::uint64_t tableOffset, std::int32_t levels,
                     std::array<std::uint8_t, PALETTE_BYTES>& palette) {
    std::array<std::uint8_t, 4 * 256> table{};
    input.Seek(tableOffset);
    input.Read(table.data(), 4 * static_cast<std::size_t>(levels));
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

// True when the headers describe 16, 24 or 32 bits per pixel, uncompressed or (not at
// 24 bits) with bit fields, in a header of at least 40 bytes: the high-colour reader's.
bool IsHighColourBitmap(const std::uint8_t* head) {
    const std::uint16_t bitCount = GetU16LE(&head[OFFSET_BIT_COUNT]);
    const std::uint32_t compression = GetU32LE(&head[OFFSET_COMPRESSION]);
    const bool bitFields = compression == COMPRESSION_BIT_FIELDS && bitCount != 24;
    return GetU16LE(&head[OFFSET_PLANES]) == 1 &&
           (bitCount == 16 || bitCount == 24 || bitCount == 32) &&
           (compression == COMPRESSION_NONE || bitFields) &&
           GetU32LE(&head[OFFSET_INFO_SIZE]) >= INFO_HEADER_BYTES;
}

// One colour channel of a pixel value: the bits of its mask, moved so that the mask's
// top bit is bit 7, cut to the mask's bit count and widened to 8 bits by repeating the
// bits (5 bits abcde give abcdeabc, 6 bits abcdef give abcdefab).
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0; // right shift that puts the mask's top bit at bit 7 (negative: left)
    int bits = 0;  // set bits of the mask, 1 to 8

    explicit Channel(std::uint32_t fieldMask)
        : mask(fieldMask), shift(fieldMask == 0 ? 0 : 31 - std::countl_zero(fieldMask) - 7),
          bits(std::popcount(fieldMask)) {}

    std::uint8_t Of(std::uint32_t value) const {
        static constexpr unsigned WIDEN[9] = {0, 0xFF, 0x55, 0x49, 0x11, 0x21, 0x41, 0x81, 0x01};
        static constexpr unsigned WIDEN_SHIFT[9] = {0, 0, 0, 1, 0, 2, 4, 6, 0};
        std::uint32_t v = value & mask;
        v = shift < 0 ? v << -shift : v >> shift;
        v >>= 8 - bits;
        return static_cast<std::uint8_t>((v * WIDEN[bits]) >> WIDEN_SHIFT[bits]);
    }
};

// Where and how a high-colour bitmap's pixels are stored.
struct HighColourLayout {
    std::uint16_t bitCount = 0;
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
    // Uncompressed 32-bit pixels carry alpha in their top byte; when every such byte is 0
    // the bitmap was written without alpha, and it is opaque.
    bool zeroAlphaIsOpaque = false;
    std::uint64_t headerEnd = 0; // behind the headers and any masks behind them
};

// The masks of a 16- or 32-bit bitmap and where its headers end (fields past the end of
// the file read as 0); false when the headers are not a bitmap's of a known size, or name
// three equal masks.
bool ReadHighColourLayout(const std::uint8_t* head, HighColourLayout& layout) {
    const std::uint32_t infoSize = GetU32LE(&head[OFFSET_INFO_SIZE]);
    if (infoSize != INFO_HEADER_BYTES && infoSize != V3_HEADER_BYTES &&
        infoSize != V4_HEADER_BYTES && infoSize != V5_HEADER_BYTES) {
        return false;
    }
    layout.bitCount = GetU16LE(&head[OFFSET_BIT_COUNT]);
    const bool bitFields = GetU32LE(&head[OFFSET_COMPRESSION]) == COMPRESSION_BIT_FIELDS;
    layout.headerEnd = FILE_HEADER_BYTES + infoSize;
    if (bitFields && infoSize == INFO_HEADER_BYTES) {
        layout.headerEnd += 12;
    }
    if (bitFields) {
        layout.red = GetU32LE(&head[OFFSET_MASKS]);
        layout.green = GetU32LE(&head[OFFSET_MASKS + 4]);
        layout.blue = GetU32LE(&head[OFFSET_MASKS + 8]);
        if (infoSize != INFO_HEADER_BYTES) {
            layout.alpha = GetU32LE(&head[OFFSET_MASKS + 12]);
        }
        // Three equal masks come from broken writers; there is no telling the colours apart.
        const bool sameMasks = layout.red == layout.green && layout.green == layout.blue;
        if (sameMasks && infoSize < V4_HEADER_BYTES) {
            return false;
        }
    } else if (layout.bitCount == 16) {
        layout.red = 0x1Fu << 10;
        layout.green = 0x1Fu << 5;
        layout.blue = 0x1Fu;
        // 5-5-5 with the alpha mask that a 108- or 124-byte header names, if any.
        if (infoSize >= V4_HEADER_BYTES) {
            layout.alpha = GetU32LE(&head[OFFSET_MASKS + 12]);
        }
    } else if (layout.bitCount == 32) {
        layout.red = 0xFFu << 16;
        layout.green = 0xFFu << 8;
        layout.blue = 0xFFu;
        layout.alpha = 0xFFu << 24;
        layout.zeroAlphaIsOpaque = true;
    }
    return true;
}

// True when every channel of a 16- or 32-bit bitmap has a mask of 1 to 8 bits (alpha: 0 to
// 8); 24-bit pixels have no masks.
bool MasksCanBeRead(const HighColourLayout& layout) {
    if (layout.bitCount == 24) {
        return true;
    }
    const auto tooWide = [](std::uint32_t mask) { return std::popcount(mask) > 8; };
    return layout.red != 0 && layout.green != 0 && layout.blue != 0 && !tooWide(layout.red) &&
           !tooWide(layout.green) && !tooWide(layout.blue) && !tooWide(layout.alpha);
}

// One stored row of a high-colour bitmap as red, green, blue, alpha.
void UnpackHighColourRow(const std::uint8_t* row, const HighColourLayout& layout, std::size_t width,
                         bool opaque, std::uint8_t* rgba) {
    if (layout.bitCount == 24) {
        for (std::size_t x = 0; x < width; ++x, row += 3, rgba += 4) {
            rgba[0] = row[2];
            rgba[1] = row[1];
            rgba[2] = row[0];
            rgba[3] = 255;
        }
        return;
    }
    const Channel red(layout.red);
    const Channel green(layout.green);
    const Channel blue(layout.blue);
    const Channel alpha(layout.alpha);
    const bool hasAlpha = layout.alpha != 0 && !opaque;
    for (std::size_t x = 0; x < width; ++x, rgba += 4) {
        std::uint32_t value = 0;
        if (layout.bitCount == 16) {
            value = GetU16LE(row + 2 * x);
        } else {
            value = GetU32LE(row + 4 * x);
        }
        rgba[0] = red.Of(value);
        rgba[1] = green.Of(value);
        rgba[2] = blue.Of(value);
        rgba[3] = hasAlpha ? alpha.Of(value) : 255;
    }
}

// True when the top byte of every 32-bit pixel is 0.
bool AllAlphaZero(const std::uint8_t* pixels, std::uint64_t stride, std::size_t width,
                  std::size_t height) {
    std::uint8_t any = 0;
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + y * stride;
        for (std::size_t x = 0; x < width; ++x) {
            any |= row[4 * x + 3];
        }
    }
    return any == 0;
}

Readout ReadHighColourBitmap(PictureBytes bytes, const std::uint8_t* head, const std::string& name,
                             const SourceReadOptions& options) {
    HighColourLayout layout;
    if (!ReadHighColourLayout(head, layout)) {
        return NotValidPicture(name, PictureFormat::Bitmap);
    }
    // A negative height marks rows stored top row first.
    const std::int32_t storedWidth = GetI32LE(&head[OFFSET_WIDTH]);
    const std::int32_t storedHeight = GetI32LE(&head[OFFSET_HEIGHT]);
    const bool topDown = storedHeight < 0;
    const std::int64_t rows = topDown ? -std::int64_t{storedHeight} : storedHeight;
    if (storedWidth < 1 || rows < 1) {
        // The size as the header gives it.
        Readout refused;
        refused.failure = InvalidSize(name, storedWidth, storedHeight);
        return refused;
    }
    AnnouncedSize size;
    if (std::optional<Readout> refused = RefuseAnnouncedSize(
            PictureFormat::Bitmap, name, storedWidth, rows, bytes.size(), size)) {
        return std::move(*refused);
    }
    const Outcome cut = TruncatedPicture(name, size.width, size.height).failure;
    if (bytes.size() < layout.headerEnd) {
        return Readout{{}, cut};
    }
    if (!MasksCanBeRead(layout)) {
        return NotValidPicture(name, PictureFormat::Bitmap);
    }
    const auto width = static_cast<std::size_t>(size.width);
    const auto height = static_cast<std::size_t>(size.height);

    // Rows of whole 32-bit words; the last row's padding may be missing. The pixels start
    // at the file's data offset when that lies behind the headers and inside the file.
    const std::uint64_t stride = (std::uint64_t{layout.bitCount} * width + 31) / 32 * 4;
    const std::uint64_t rowBytes = std::uint64_t{layout.bitCount} / 8 * width;
    const std::uint64_t dataOffset = GetU32LE(&head[OFFSET_DATA]);
    const std::uint64_t pixelOffset =
        dataOffset >= layout.headerEnd && dataOffset < bytes.size() ? dataOffset : layout.headerEnd;
    if (bytes.size() - pixelOffset < stride * (height - 1) + rowBytes) {
        return Readout{{}, cut};
    }
    const std::uint8_t* pixels = bytes.data() + pixelOffset;
    const bool opaque = layout.zeroAlphaIsOpaque && AllAlphaZero(pixels, stride, width, height);

    Readout result;
    std::vector<std::uint8_t> rgba;
    try {
        rgba.resize(4 * width);
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    if (!AppendEmptyFrame(result, size, -1, options, name)) {
        return result;
    }
    SourceImage& frame = result.frames.back();
    for (std::size_t y = 0; y < height; ++y) {
        UnpackHighColourRow(pixels + y * stride, layout, width, opaque, rgba.data());
        // Bottom row first, whichever way the file stores them.
        PutRgbaRow(frame, topDown ? height - 1 - y : y, rgba.data(), options.background);
    }
    return result;
}

// The name of a bitmap compression in messages.
const char* CompressionName(std::uint32_t compression) {
    switch (compression) {
    case COMPRESSION_RLE8:
        return "RLE8";
    case COMPRESSION_RLE4:
        return "RLE4";
    case COMPRESSION_BIT_FIELDS:
        return "bit-field";
    case 4:
        return "JPEG";
    case 5:
        return "PNG";
    case 6:
        return "alpha bit-field";
    default:
        return "an unknown";
    }
}

Readout ReadIndexedBitmap(PictureBytes bytes, const std::uint8_t* head, const std::string& name) {
    const std::uint16_t planes = GetU16LE(&head[OFFSET_PLANES]);
    const std::uint16_t bitCount = GetU16LE(&head[OFFSET_BIT_COUNT]);
    const std::uint32_t compression = GetU32LE(&head[OFFSET_COMPRESSION]);
    const std::uint32_t infoSize = GetU32LE(&head[OFFSET_INFO_SIZE]);
    const bool signature = head[0] == 'B' && head[1] == 'M';
    if (signature && infoSize == OS2_HEADER_BYTES) {
        return UnsupportedBitmap(name, OutcomeDetail::Os2Bitmap);
    }
    if (!signature || planes != 1 || bytes.size() < OFFSET_COMPRESSION + 4) {
        return NotValidPicture(name, PictureFormat::Bitmap);
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return NotValidPicture(name, PictureFormat::Bitmap);
    }
    const bool runLength = (compression == COMPRESSION_RLE8 && bitCount == 8) ||
                           (compression == COMPRESSION_RLE4 && bitCount == 4);
    if (compression != COMPRESSION_NONE && !runLength) {
        return UnsupportedBitmap(name, OutcomeDetail::Compression, {bitCount},
                                 {CompressionName(compression)});
    }
    if (bitCount > 8) {
        return NotValidPicture(name, PictureFormat::Bitmap); // headers of an unknown size
    }

    MemoryInput input(bytes);
    Readout result;
    SourceImage& image = result.frames.emplace_back();
    image.indexed = true;
    image.width = GetI32LE(&head[OFFSET_WIDTH]);
    image.height = GetI32LE(&head[OFFSET_HEIGHT]);
    image.levels = 1 << bitCount;
    // A negative height marks rows stored top row first; run-length data are always
    // stored bottom row first.
    const bool topDown = image.height < 0 && image.height != INT32_MIN;
    if (topDown && runLength) {
        return NotValidPicture(name, PictureFormat::Bitmap);
    }
    if (topDown) {
        image.height = -image.height;
    }

    // Row bits taken up to a multiple of 32, in bytes; 64-bit so no width can wrap it.
    const std::int64_t strideSigned =
        ((std::int64_t{bitCount} * image.width + 31) & ~std::int64_t{31}) / 8;
    std::uint64_t colourCount = GetU32LE(&head[OFFSET_COLOUR_COUNT]);
    if (colourCount == 0) {
        colourCount = static_cast<std::uint64_t>(image.levels);
    }
    // The colour table stands right behind the information header, whatever its size.
    // The pixel data follow colour-count entries of it, unless the file's own data
    // offset lies further on and inside the file (tools may leave a gap before them).
    const std::uint64_t tableOffset = FILE_HEADER_BYTES + infoSize;
    const std::uint64_t tableEnd = tableOffset + 4 * colourCount;
    const std::uint64_t dataOffset = GetU32LE(&head[OFFSET_DATA]);
    const std::uint64_t pixelOffset =
        dataOffset >= tableEnd && dataOffset < input.Size() ? dataOffset : tableEnd;

    ReadColourTable(input, tableOffset, image.levels, image.colourTable);
    if (bitCount != 1) {
        image.recordPalette = image.colourTable;
    }
    if (image.width < 1 || image.height < 1) {
        return result;
    }
    if (std::optional<Readout> tooLarge = RefuseTooLarge(name, image.width, image.height)) {
        return std::move(*tooLarge);
    }

    const auto width = static_cast<std::size_t>(image.width);
    const auto height = static_cast<std::size_t>(image.height);
    const std::size_t pixelsPerByte = 8 / bitCount;
    const std::size_t usedBytes = (width + pixelsPerByte - 1) / pixelsPerByte;
    const auto stride = static_cast<std::uint64_t>(strideSigned);
    const std::size_t pixelCount = width * height;
    // Every row but the last is read with its padding; the last row's padding may be
    // missing. A file too short for that is refused before anything is allocated.
    input.Seek(pixelOffset);
    const std::uint64_t needed = stride * (height - 1) + usedBytes;
    if (!runLength && input.Remaining() < needed) {
        return TruncatedPicture(name, image.width, image.height, needed, input.Remaining());
    }

    try {
        image.pixels.resize(pixelCount);
    } catch (const std::bad_alloc&) {
        return NoMemory();
    } catch (const std::length_error&) {
        return NoMemory();
    }

    if (runLength) {
        // Pixels the escapes skip keep index 0, as in a bitmap that Windows decodes into
        // a fresh (zeroed) one of its own depth.
        if (!DecodeRunLengthBitmap(bytes.subspan(static_cast<std::size_t>(input.Position())),
                                   bitCount, width, height, image.pixels.data())) {
            return TruncatedPicture(name, image.width, image.height);
        }
        if (bitCount == 4) {
            for (std::uint8_t& pixel : image.pixels) {
                pixel = static_cast<std::uint8_t>(pixel * 17);
            }
        }
        return result;
    }
    for (std::size_t y = 0; y < height; ++y) {
        if (y > 0) {
            input.Skip(stride - usedBytes);
        }
        UnpackRow(input.Here(), bitCount, width, image.pixels.data() + y * width);
        input.Skip(usedBytes);
    }
    if (topDown) {
        ReverseRows(image.pixels.data(), width, height);
    }
    return result;
}

} // namespace

Readout ReadBmpPicture(PictureBytes bytes, const std::string& name,
                       const SourceReadOptions& options) {
    std::array<std::uint8_t, HEADER_BLOCK_BYTES> head{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), head.size()), head.begin());
    // Files too short to hold the compression field are the indexed reader's to refuse.
    if (bytes.size() >= OFFSET_COMPRESSION + 4 && head[0] == 'B' && head[1] == 'M' &&
        IsHighColourBitmap(head.data())) {
        return ReadHighColourBitmap(bytes, head.data(), name, options);
    }
    return ReadIndexedBitmap(bytes, head.data(), name);
}
