// ReadTgaPicture: Truevision TGA pictures, true-colour (15, 16, 24 or 32 bits a pixel),
// grey (8 bits, or 16 with alpha) and colour-mapped (8- or 16-bit indices into a map of
// 8-, 15-, 16-, 24- or 32-bit entries), plain or run-length coded, in any of the four
// orders the origin bits name. Cut files are refused, never filled up.
#include "little_endian.h"
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace {

constexpr std::size_t HEADER_BYTES = 18;

// Header fields, from the start of the file.
enum HeaderOffset : std::size_t {
    OFFSET_ID_LENGTH = 0,
    OFFSET_MAP_TYPE = 1,
    OFFSET_IMAGE_TYPE = 2,
    OFFSET_MAP_FIRST = 3,
    OFFSET_MAP_LENGTH = 5,
    OFFSET_MAP_ENTRY_BITS = 7,
    OFFSET_WIDTH = 12,
    OFFSET_HEIGHT = 14,
    OFFSET_PIXEL_BITS = 16,
    OFFSET_DESCRIPTOR = 17,
};

constexpr std::uint8_t DESCRIPTOR_RIGHT_TO_LEFT = 0x10;
constexpr std::uint8_t DESCRIPTOR_TOP_TO_BOTTOM = 0x20;
constexpr std::uint8_t TYPE_RUN_LENGTH = 8;

// How one stored value (a pixel or a colour-map entry) becomes red, green, blue, alpha.
enum class Sample {
    Grey,      // 8 bits of grey
    GreyAlpha, // grey, then alpha
    Rgb555,    // 15 or 16 bits: x rrrrr ggggg bbbbb, the top bit ignored
    Bgr,       // blue, green, red
    Bgra,      // blue, green, red, alpha
};

struct SampleForm {
    Sample sample;
    std::size_t bytes;
};

// The form of a value of `bits` bits; false for sizes no TGA uses.
bool FormOf(int bits, bool grey, SampleForm& form) {
    switch (bits) {
    case 8:
        form = {Sample::Grey, 1};
        return true;
    case 15:
    case 16:
        form = {grey && bits == 16 ? Sample::GreyAlpha : Sample::Rgb555, 2};
        return true;
    case 24:
        form = {Sample::Bgr, 3};
        return true;
    case 32:
        form = {Sample::Bgra, 4};
        return true;
    default:
        return false;
    }
}

// A 5-bit channel widened to 8 bits as value * 255 / 31.
std::uint8_t Widen5(unsigned value) {
    return static_cast<std::uint8_t>((value & 31) * 255 / 31);
}

void ToRgba(const std::uint8_t* value, Sample sample, std::uint8_t* rgba) {
    switch (sample) {
    case Sample::Grey:
        rgba[0] = rgba[1] = rgba[2] = value[0];
        rgba[3] = 255;
        break;
    case Sample::GreyAlpha:
        rgba[0] = rgba[1] = rgba[2] = value[0];
        rgba[3] = value[1];
        break;
    case Sample::Rgb555: {
        const unsigned packed = GetU16LE(value);
        rgba[0] = Widen5(packed >> 10);
        rgba[1] = Widen5(packed >> 5);
        rgba[2] = Widen5(packed);
        rgba[3] = 255;
        break;
    }
    case Sample::Bgr:
        rgba[0] = value[2];
        rgba[1] = value[1];
        rgba[2] = value[0];
        rgba[3] = 255;
        break;
    case Sample::Bgra:
        rgba[0] = value[2];
        rgba[1] = value[1];
        rgba[2] = value[0];
        rgba[3] = value[3];
        break;
    }
}

struct TgaLayout {
    bool mapped = false;
    bool runLength = false;
    SampleForm pixel{}; // a stored pixel: a colour, or an index of pixel.bytes bytes
    SampleForm entry{}; // a colour-map entry
    std::size_t mapFirst = 0;
    std::size_t mapLength = 0;
    bool rightToLeft = false;
    bool topToBottom = false;
};

// The layout the header describes; false for a header no TGA reader here takes.
bool ReadLayout(const std::uint8_t* header, TgaLayout& layout) {
    const int mapType = header[OFFSET_MAP_TYPE];
    const int imageType = header[OFFSET_IMAGE_TYPE];
    const int pixelBits = header[OFFSET_PIXEL_BITS];
    layout.runLength = (imageType & TYPE_RUN_LENGTH) != 0;
    layout.rightToLeft = (header[OFFSET_DESCRIPTOR] & DESCRIPTOR_RIGHT_TO_LEFT) != 0;
    layout.topToBottom = (header[OFFSET_DESCRIPTOR] & DESCRIPTOR_TOP_TO_BOTTOM) != 0;
    if (mapType == 1) {
        layout.mapped = true;
        layout.mapFirst = GetU16LE(&header[OFFSET_MAP_FIRST]);
        layout.mapLength = GetU16LE(&header[OFFSET_MAP_LENGTH]);
        // The pixels are indices of one or two bytes.
        layout.pixel = {Sample::Grey, static_cast<std::size_t>(pixelBits / 8)};
        return (imageType == 1 || imageType == 9) && (pixelBits == 8 || pixelBits == 16) &&
               FormOf(header[OFFSET_MAP_ENTRY_BITS], false, layout.entry);
    }
    const bool trueColour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    return mapType == 0 && (trueColour || grey) && FormOf(pixelBits, grey, layout.pixel);
}

// Reads width x height stored values, plain or in run-length packets, into `values`
// (value.bytes each). False when the data end first.
bool ReadValues(const std::uint8_t* data, std::size_t size, bool runLength, std::size_t valueBytes,
                std::size_t count, std::uint8_t* values) {
    if (!runLength) {
        if (size / valueBytes < count) {
            return false;
        }
        std::copy_n(data, count * valueBytes, values);
        return true;
    }
    std::size_t at = 0;
    std::size_t done = 0;
    while (done < count) {
        if (at >= size) {
            return false;
        }
        const std::uint8_t packet = data[at++];
        const std::size_t run = std::min<std::size_t>(1 + (packet & 0x7F), count - done);
        if (packet & 0x80) {
            if (size - at < valueBytes) {
                return false;
            }
            for (std::size_t i = 0; i < run; ++i) {
                std::copy_n(data + at, valueBytes, values + (done + i) * valueBytes);
            }
            at += valueBytes;
        } else {
            const std::size_t stored = 1 + (packet & 0x7F);
            if ((size - at) / valueBytes < run) {
                return false;
            }
            std::copy_n(data + at, run * valueBytes, values + done * valueBytes);
            at += std::min(stored * valueBytes, size - at);
        }
        done += run;
    }
    return true;
}

} // namespace

Readout ReadTgaPicture(PictureBytes bytes, const std::string& name,
                       const SourceReadOptions& options) {
    TgaLayout layout;
    if (bytes.size() < HEADER_BYTES || !ReadLayout(bytes.data(), layout)) {
        return NotValidPicture(name, PictureFormat::Tga);
    }
    const std::uint16_t storedWidth = GetU16LE(&bytes[OFFSET_WIDTH]);
    const std::uint16_t storedHeight = GetU16LE(&bytes[OFFSET_HEIGHT]);
    if (storedWidth == 0 || storedHeight == 0) {
        return NotValidPicture(name, PictureFormat::Tga);
    }
    AnnouncedSize size;
    if (std::optional<Readout> refused = RefuseAnnouncedSize(PictureFormat::Tga, name, storedWidth,
                                                             storedHeight, bytes.size(), size)) {
        return std::move(*refused);
    }

    // The picture's own identification text comes first, then the colour map, which holds
    // the entries for indices mapFirst to mapFirst + mapLength - 1.
    std::size_t at = HEADER_BYTES + bytes[OFFSET_ID_LENGTH];
    std::vector<std::uint8_t> map;
    if (layout.mapped) {
        const std::size_t mapBytes = layout.mapLength * layout.entry.bytes;
        if (layout.mapLength == 0 || at > bytes.size() || bytes.size() - at < mapBytes) {
            return NotValidPicture(name, PictureFormat::Tga);
        }
        try {
            map.resize(4 * layout.mapLength);
        } catch (const std::bad_alloc&) {
            return NoMemory();
        }
        for (std::size_t i = 0; i < layout.mapLength; ++i) {
            ToRgba(&bytes[at + i * layout.entry.bytes], layout.entry.sample, &map[4 * i]);
        }
        at += mapBytes;
    }

    Readout result;
    std::vector<std::uint8_t> values;
    std::vector<std::uint8_t> rgba;
    try {
        values.resize(size.pixels * layout.pixel.bytes);
        rgba.resize(4 * static_cast<std::size_t>(size.width));
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    if (at > bytes.size() || !ReadValues(bytes.data() + at, bytes.size() - at, layout.runLength,
                                         layout.pixel.bytes, size.pixels, values.data())) {
        return TruncatedPicture(name, size.width, size.height);
    }
    if (!AppendEmptyFrame(result, size, -1, options, name)) {
        return result;
    }
    SourceImage& frame = result.frames.back();
    const auto width = static_cast<std::size_t>(size.width);
    const auto height = static_cast<std::size_t>(size.height);
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* stored = values.data() + row * width * layout.pixel.bytes;
        for (std::size_t i = 0; i < width; ++i) {
            const std::uint8_t* value = stored + i * layout.pixel.bytes;
            const std::size_t x = layout.rightToLeft ? width - 1 - i : i;
            if (layout.mapped) {
                std::size_t index = layout.pixel.bytes == 1 ? value[0] : GetU16LE(value);
                // An index outside the map takes its first entry.
                index = index >= layout.mapFirst && index - layout.mapFirst < layout.mapLength
                            ? index - layout.mapFirst
                            : 0;
                std::copy_n(&map[4 * index], 4, &rgba[4 * x]);
            } else {
                ToRgba(value, layout.pixel.sample, &rgba[4 * x]);
            }
        }
        PutRgbaRow(frame, layout.topToBottom ? row : height - 1 - row, rgba.data(),
                   options.background);
    }
    return result;
}
