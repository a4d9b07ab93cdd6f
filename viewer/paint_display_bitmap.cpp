// The paint handler's two drawings: the stretched display bitmap and the prompt text.
#include "paint_display_bitmap.h"

#include <climits>
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

} // namespace

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
    for (std::size_t i = 0; i < COLOUR_TABLE_ENTRIES; ++i) {
        info.colours[i].rgbBlue = bitmap.colours[i].blue;
        info.colours[i].rgbGreen = bitmap.colours[i].green;
        info.colours[i].rgbRed = bitmap.colours[i].red;
        info.colours[i].rgbReserved = 0;
    }
    return info;
}

void PaintDisplayBitmap(HDC dc, const DisplayBitmap& bitmap, int x, int y, int zoom, int invert) {
    const BitmapInfo256 info = MakeBitmapInfo(bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, ScaledSize(zoom, bitmap.width), ScaledSize(zoom, bitmap.height), 0, 0,
                  bitmap.width, bitmap.height, bitmap.pixels->data(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  invert != 0 ? NOTSRCCOPY : SRCCOPY);
}

void PaintPrompt(HDC dc, int x, int y, const char* text) {
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}
