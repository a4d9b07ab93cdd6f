// The paint handler's two drawings: the stretched display bitmap and the prompt text.
#include "paint_display_bitmap.h"

#include "checked_size.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// zoom x size in the range that the platform's drawing takes; absurd zooms from a hand-edited
// settings file are cut rather than overflowing.
int ScaledSize(int zoom, std::int32_t size) {
    const std::int64_t scaled = static_cast<std::int64_t>(zoom) * size;
    if (scaled > INT_MAX / 2) {
        return INT_MAX / 2;
    }
    if (scaled < INT_MIN / 2) {
        return INT_MIN / 2;
    }
    return static_cast<int>(scaled);
}

// Bytes per row as the platform computes them: whole 32-bit words.
std::optional<std::size_t> PlatformStride(std::int32_t width, unsigned bitCount) {
    std::size_t bits = 0;
    if (width < 0 || !CheckedMultiply(static_cast<std::size_t>(width), bitCount, bits) ||
        bits > SIZE_MAX - 31) {
        return std::nullopt;
    }
    return (bits + 31) / 32 * 4;
}

bool HoldsWholeBitmap(const DisplayBitmap& bitmap, unsigned bitCount) {
    const auto stride = PlatformStride(bitmap.width, bitCount);
    std::size_t size = 0;
    return bitmap.pixels && bitmap.height >= 0 && stride && *stride == bitmap.stride &&
           CheckedMultiply(*stride, static_cast<std::size_t>(bitmap.height), size) &&
           bitmap.pixels->size() >= size;
}

} // namespace

bool IsDrawable(const DisplayBitmap& bitmap) {
    switch (bitmap.depth) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return HoldsWholeBitmap(bitmap, bitmap.depth) && bitmap.info.bitCount == bitmap.depth &&
               bitmap.info.width == bitmap.width && bitmap.info.height == bitmap.height;
    default:
        return false;
    }
}

//   2-bit byte [a a b b c c d d]  ->  4-bit bytes [0 0 a a 0 0 b b] [0 0 c c 0 0 d d]
std::optional<DisplayBitmap> WidenTwoBitBitmap(const DisplayBitmap& bitmap) {
    const auto stride = PlatformStride(bitmap.width, 4);
    std::size_t size = 0;
    if (bitmap.depth != 2 || !HoldsWholeBitmap(bitmap, 2) || !stride ||
        !CheckedMultiply(*stride, static_cast<std::size_t>(bitmap.height), size) ||
        size > UINT32_MAX) {
        return std::nullopt;
    }
    DisplayBitmap wide;
    wide.width = bitmap.width;
    wide.height = bitmap.height;
    wide.depth = 4;
    wide.stride = static_cast<std::uint32_t>(*stride);
    wide.colours = bitmap.colours;
    wide.info = bitmap.info;
    wide.info.width = bitmap.width;
    wide.info.height = bitmap.height;
    wide.info.bitCount = 4;
    wide.info.imageSize = static_cast<std::uint32_t>(size);
    wide.pixels.emplace(size, 0);
    const std::size_t sourceBytes = (static_cast<std::size_t>(bitmap.width) + 3) / 4;
    for (std::size_t row = 0; row < static_cast<std::size_t>(bitmap.height); ++row) {
        const std::uint8_t* source = bitmap.pixels->data() + row * bitmap.stride;
        std::uint8_t* target = wide.pixels->data() + row * wide.stride;
        for (std::size_t i = 0; i < sourceBytes; ++i) {
            const unsigned b = source[i];
            target[2 * i] = static_cast<std::uint8_t>(((b >> 6) << 4) | ((b >> 4) & 0x03));
            if (2 * i + 1 < wide.stride) {
                target[2 * i + 1] =
                    static_cast<std::uint8_t>((((b >> 2) & 0x03) << 4) | (b & 0x03));
            }
        }
    }
    return wide;
}

BitmapInfo256 MakeBitmapInfo(const DisplayBitmap& bitmap) {
    BitmapInfo256 info{};
    const BitmapInfoHeader& source = bitmap.info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = source.width;
    info.header.biHeight = source.height;
    info.header.biPlanes = source.planes;
    info.header.biBitCount = source.bitCount;
    info.header.biCompression = source.compression;
    info.header.biSizeImage = source.imageSize;
    info.header.biXPelsPerMeter = source.xPelsPerMeter;
    info.header.biYPelsPerMeter = source.yPelsPerMeter;
    info.header.biClrUsed = source.coloursUsed;
    info.header.biClrImportant = source.coloursImportant;
    if (source.compression == BITMAP_BITFIELDS) {
        // The red, green and blue masks take the place of the table's first three entries.
        static_assert(sizeof(RGBQUAD) == sizeof(std::uint32_t));
        std::memcpy(info.colours, bitmap.masks.data(), sizeof bitmap.masks);
        return info;
    }
    for (std::size_t i = 0; i < COLOUR_TABLE_ENTRIES; ++i) {
        info.colours[i].rgbBlue = bitmap.colours[i].blue;
        info.colours[i].rgbGreen = bitmap.colours[i].green;
        info.colours[i].rgbRed = bitmap.colours[i].red;
        info.colours[i].rgbReserved = 0;
    }
    return info;
}

void PaintDisplayBitmap(HDC dc, const DisplayBitmap& bitmap, int x, int y, int zoom, bool invert) {
    std::optional<DisplayBitmap> widened;
    const DisplayBitmap* drawable = &bitmap;
    if (bitmap.depth == 2) {
        widened = WidenTwoBitBitmap(bitmap);
        drawable = widened ? &*widened : nullptr;
    }
    if (drawable == nullptr || !IsDrawable(*drawable)) {
        return;
    }
    const BitmapInfo256 info = MakeBitmapInfo(*drawable);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, ScaledSize(zoom, drawable->width), ScaledSize(zoom, drawable->height),
                  0, 0, drawable->width, drawable->height, drawable->pixels->data(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  invert ? NOTSRCCOPY : SRCCOPY);
}

void PaintPrompt(HDC dc, int x, int y, const char* text) {
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}
