// ReadPnmPicture: PBM ("P1", "P4"), PGM ("P2", "P5") and PPM ("P3", "P6") pictures into a
// SourceImage of one grey byte per pixel (a PPM's colours by luminance), top row first.
// The header is read in line pieces of at most 127 characters; the pixel data start
// right after the piece that completes it. Samples above maxval 255 take two bytes.
#include "checked_size.h"
#include "colour_to_grey.h"
#include "memory_input.h"
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t HEADER_PIECE_CHARS = 127;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// The white space that a scanning " " passes over.
bool IsScanSpace(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Header tokens are runs of codes above 32; codes 1-32 separate them.
bool IsTokenChar(unsigned char c) {
    return c > 32;
}

// A decimal number at the start of text (optional sign, then digits, anything after the
// digits ignored), saturated to the 32-bit range. Nothing when no digit follows.
std::optional<std::int32_t> LeadingNumber(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at >= text.size() || !IsDigit(static_cast<unsigned char>(text[at]))) {
        return std::nullopt;
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && IsDigit(static_cast<unsigned char>(text[at])); ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

// sample * 255 / (levels - 1) in wrapping 32-bit signed arithmetic; the low 8 bits.
std::uint8_t ScaleSample(std::int32_t sample, std::int32_t levels) {
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(sample) * 255u);
    return static_cast<std::uint8_t>(product / (levels - 1));
}

struct PnmHeader {
    std::int32_t format = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t levels = 0;
};

enum class HeaderResult { Accepted, NotPnm, BadNumber };

// One header token. Numbers fill width, height and levels in that order, each only while
// it is still 0; a number 0 (or a maxval of -1) therefore leaves its field open.
HeaderResult TakeHeaderToken(std::string_view token, PnmHeader& header) {
    if (header.format == 0) {
        std::optional<std::int32_t> number;
        if (!token.empty() && token[0] == 'P') {
            number = LeadingNumber(token.substr(1));
        }
        header.format = number.value_or(0);
        if (header.format == 0) {
            return HeaderResult::NotPnm;
        }
        if (header.format == 1 || header.format == 4) {
            header.levels = 2;
        }
        return HeaderResult::Accepted;
    }
    if (header.width != 0 && header.height != 0 && header.levels != 0) {
        return HeaderResult::Accepted;
    }
    const std::optional<std::int32_t> number = LeadingNumber(token);
    if (!number) {
        return HeaderResult::BadNumber;
    }
    if (header.width == 0) {
        header.width = *number;
    } else if (header.height == 0) {
        header.height = *number;
    } else {
        const std::int64_t levels = std::int64_t{*number} + 1;
        header.levels = levels > std::numeric_limits<std::int32_t>::max()
                            ? std::numeric_limits<std::int32_t>::max()
                            : static_cast<std::int32_t>(levels);
    }
    return HeaderResult::Accepted;
}

// Reads header pieces until height and levels are both set or the file ends.
HeaderResult ReadHeader(MemoryInput& file, PnmHeader& header) {
    std::string piece;
    piece.reserve(HEADER_PIECE_CHARS);
    while (header.height == 0 || header.levels == 0) {
        piece.clear();
        if (!file.ReadLinePiece(piece, HEADER_PIECE_CHARS)) {
            break;
        }
        // Like a C string, the piece's text ends at a NUL; a comment runs to its end.
        std::string_view text(piece);
        text = text.substr(0, text.find('\0'));
        text = text.substr(0, text.find('#'));
        std::size_t at = 0;
        while (at < text.size()) {
            if (!IsTokenChar(static_cast<unsigned char>(text[at]))) {
                ++at;
                continue;
            }
            std::size_t stop = at;
            while (stop < text.size() && IsTokenChar(static_cast<unsigned char>(text[stop]))) {
                ++stop;
            }
            const HeaderResult result = TakeHeaderToken(text.substr(at, stop - at), header);
            if (result != HeaderResult::Accepted) {
                return result;
            }
            at = stop;
        }
    }
    return HeaderResult::Accepted;
}

// A plain PBM pixel: one digit, white space before it optional. 0 is white, any other
// digit black. -1 when the next text is no digit.
int ReadPlainBit(MemoryInput& file) {
    int c = file.GetByte();
    while (IsScanSpace(c)) {
        c = file.GetByte();
    }
    if (!IsDigit(c)) {
        return -1;
    }
    return c == '0' ? 1 : 0;
}

// A plain PGM sample read like " %d", saturated to the 32-bit range.
std::optional<std::int32_t> ReadPlainNumber(MemoryInput& file) {
    int c = file.PeekByte();
    while (IsScanSpace(c)) {
        file.GetByte();
        c = file.PeekByte();
    }
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = file.GetByte() == '-';
        c = file.PeekByte();
    }
    bool any = false;
    std::int64_t magnitude = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (IsDigit(c)) {
        any = true;
        magnitude = magnitude * 10 + (file.GetByte() - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
        c = file.PeekByte();
    }
    if (!any) {
        return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

// The least number of bytes that the pixel data of this header can take.
std::uint64_t LeastPixelBytes(const PnmHeader& header) {
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto height = static_cast<std::uint64_t>(header.height);
    if (header.format == 4) {
        return (width + 7) / 8 * height;
    }
    const std::uint64_t sampleBytes = header.levels > 256 && header.format >= 5 ? 2 : 1;
    if (header.format == 3 || header.format == 6) {
        return 3 * sampleBytes * width * height;
    }
    return sampleBytes * width * height; // at least one character a plain value
}

bool ReadRawBitmap(MemoryInput& file, SourceImage& image) {
    const auto width = static_cast<std::size_t>(image.width);
    std::vector<std::uint8_t> row((width + 7) / 8);
    std::uint8_t* out = image.pixels.data();
    for (std::int32_t y = 0; y < image.height; ++y) {
        if (file.Read(row.data(), row.size()) != row.size()) {
            return false;
        }
        // Bit 7 of each byte is the leftmost of its 8 pixels; a set bit is black.
        for (std::size_t x = 0; x < width; ++x) {
            const bool black = (row[x / 8] >> (7 - x % 8)) & 1;
            *out++ = black ? 0 : 255;
        }
    }
    return true;
}

// A PPM sample, or a PGM sample above maxval 255 (0 to maxval), as 8 bits: maxval 255
// keeps it, a smaller maxval is stretched, a two-byte sample is stretched to 16 bits and
// its high byte taken.
std::uint8_t WideSample(std::uint32_t sample, std::uint32_t maxval) {
    sample = sample > maxval ? maxval : sample;
    if (maxval <= 255) {
        return static_cast<std::uint8_t>(sample * 255 / maxval);
    }
    return static_cast<std::uint8_t>(sample * 65535 / maxval >> 8);
}

// One sample: a plain ("P2", "P3") decimal number, negative ones as 0, or a raw byte, or
// two big-endian bytes when wide. Nothing when the file ends first.
std::optional<std::uint32_t> ReadSample(MemoryInput& file, bool plain, bool wide) {
    if (plain) {
        const std::optional<std::int32_t> number = ReadPlainNumber(file);
        if (!number) {
            return std::nullopt;
        }
        return *number < 0 ? 0u : static_cast<std::uint32_t>(*number);
    }
    const int high = file.GetByte();
    const int low = wide ? file.GetByte() : 0;
    if (high < 0 || low < 0) {
        return std::nullopt;
    }
    return wide ? static_cast<std::uint32_t>(high << 8 | low) : static_cast<std::uint32_t>(high);
}

// "P3" (three numbers a pixel) and "P6" (three samples of one or, above maxval 255,
// two big-endian bytes) into luminance, and into image.rgb when it has room for them.
bool ReadColourPixels(MemoryInput& file, std::int32_t format, std::uint32_t maxval,
                      SourceImage& image) {
    const bool wide = maxval > 255;
    std::uint8_t* colours = image.rgb.empty() ? nullptr : image.rgb.data();
    for (std::uint8_t& pixel : image.pixels) {
        std::uint8_t rgb[3];
        for (std::uint8_t& channel : rgb) {
            const std::optional<std::uint32_t> sample = ReadSample(file, format == 3, wide);
            if (!sample) {
                return false;
            }
            channel = WideSample(*sample, maxval);
        }
        pixel = Luminance(rgb[0], rgb[1], rgb[2]);
        if (colours != nullptr) {
            colours = std::copy(rgb, rgb + 3, colours);
        }
    }
    return true;
}

// "P2" and "P5" samples of maxval 256 to 65535 (two big-endian bytes in "P5").
bool ReadWideGreyPixels(MemoryInput& file, std::int32_t format, std::uint32_t maxval,
                        SourceImage& image) {
    for (std::uint8_t& pixel : image.pixels) {
        const std::optional<std::uint32_t> sample = ReadSample(file, format == 2, true);
        if (!sample) {
            return false;
        }
        pixel = WideSample(*sample, maxval);
    }
    return true;
}

bool ReadPixels(MemoryInput& file, std::int32_t format, SourceImage& image) {
    const std::size_t count = image.pixels.size();
    std::uint8_t* out = image.pixels.data();
    if ((format == 2 || format == 5) && image.levels > 256) {
        return ReadWideGreyPixels(file, format, static_cast<std::uint32_t>(image.levels - 1),
                                  image);
    }
    switch (format) {
    case 1:
        for (std::size_t i = 0; i < count; ++i) {
            const int sample = ReadPlainBit(file);
            if (sample < 0) {
                return false;
            }
            out[i] = ScaleSample(sample, image.levels);
        }
        return true;
    case 2:
        for (std::size_t i = 0; i < count; ++i) {
            const std::optional<std::int32_t> sample = ReadPlainNumber(file);
            if (!sample) {
                return false;
            }
            out[i] = ScaleSample(*sample, image.levels);
        }
        return true;
    case 4:
        return ReadRawBitmap(file, image);
    case 3:
    case 6:
        return ReadColourPixels(file, format, static_cast<std::uint32_t>(image.levels - 1), image);
    default:
        if (file.Read(out, count) != count) {
            return false;
        }
        if (image.levels != 256) {
            for (std::size_t i = 0; i < count; ++i) {
                out[i] = ScaleSample(out[i], image.levels);
            }
        }
        return true;
    }
}

// Raw pixel data take an exact number of bytes, which the message gives with what the file
// holds; plain pixel data are numbers of any length.
Readout Truncated(const std::string& name, const PnmHeader& header, std::uint64_t held) {
    if (header.format >= 4) {
        return TruncatedPicture(name, header.width, header.height, LeastPixelBytes(header), held);
    }
    return TruncatedPicture(name, header.width, header.height);
}

} // namespace

Readout ReadPnmPicture(PictureBytes bytes, const std::string& name,
                       const SourceReadOptions& options) {
    MemoryInput file(bytes);

    PnmHeader header;
    switch (ReadHeader(file, header)) {
    case HeaderResult::NotPnm:
        return NotPnmHeader(name);
    case HeaderResult::BadNumber:
        return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::WordForNumber);
    case HeaderResult::Accepted:
        break;
    }
    if (header.format == 0) {
        return NoPnmHeader(name);
    }
    if (header.format < 1 || header.format > 6) {
        return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::UnknownPnmFormat,
                       {header.format});
    }
    if (header.height == 0 || header.levels == 0) {
        return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::HeaderEndsEarly);
    }
    // Every format takes maxval 1 to 65535 (PBM has none).
    if (header.levels < 2 || header.levels > 65536) {
        return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::MaxvalRange,
                       {static_cast<std::int64_t>(header.levels) - 1});
    }
    if (header.width < 1 || header.height < 1) {
        return Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::NoPixels,
                       {header.width, header.height});
    }
    if (std::optional<Readout> tooLarge = RefuseTooLarge(name, header.width, header.height)) {
        return std::move(*tooLarge);
    }
    const std::size_t pixelCount =
        static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height);
    // A file too short for its pixels is refused before its block is allocated.
    const std::uint64_t held = file.Remaining();
    if (held < LeastPixelBytes(header)) {
        return Truncated(name, header, held);
    }

    SourceImage image;
    image.width = header.width;
    image.height = header.height;
    image.levels = header.levels;
    const bool colour = header.format == 3 || header.format == 6;
    try {
        image.pixels.resize(pixelCount);
        std::size_t colourBytes = 0;
        if (colour && options.colours) {
            if (!CheckedMultiply(pixelCount, 3, colourBytes)) {
                return NoMemory();
            }
            image.rgb.resize(colourBytes);
        }
    } catch (const std::bad_alloc&) {
        return NoMemory();
    } catch (const std::length_error&) {
        return NoMemory();
    }
    if (!ReadPixels(file, header.format, image)) {
        return Truncated(name, header, held);
    }
    if (colour || image.levels > 256) {
        image.levels = 256; // luminance or 8-bit levels, whatever the maxval
    }
    Readout result;
    result.frames.push_back(std::move(image));
    return result;
}
