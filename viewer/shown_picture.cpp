// Rendering the shown picture off screen: a 24-bit DIB section receives exactly what the
// paint handler draws, so the copy equals the window pixel for pixel.
#include "shown_picture.h"

#include "checked_size.h"
#include "little_endian.h"
#include "paint_display_bitmap.h"

#include <windows.h>

#include <cstring>
#include <optional>

namespace {

inline constexpr std::size_t FILE_HEADER_SIZE = 14;
inline constexpr std::size_t INFO_HEADER_SIZE = 40;

// The 40-byte BITMAPINFOHEADER of a bottom-up, uncompressed 24-bit picture at 72 dpi.
void PutInfoHeader(std::uint8_t* p, std::uint32_t width, std::uint32_t height,
                   std::uint32_t imageSize) {
    std::memset(p, 0, INFO_HEADER_SIZE);
    PutU32LE(p, INFO_HEADER_SIZE);
    PutU32LE(p + 4, width);
    PutU32LE(p + 8, height);
    PutU16LE(p + 12, 1);  // planes
    PutU16LE(p + 14, 24); // bits per pixel; compression at 16 stays 0 (BI_RGB)
    PutU32LE(p + 20, imageSize);
    PutU32LE(p + 24, 2835); // pixels per metre, x and y
    PutU32LE(p + 28, 2835);
}

bool CanDraw(const DisplayBitmap& bitmap) {
    if (!bitmap.pixels) {
        return false;
    }
    if (bitmap.depth == 2) {
        const std::optional<DisplayBitmap> widened = WidenTwoBitBitmap(bitmap);
        return widened && IsDrawable(*widened);
    }
    return IsDrawable(bitmap);
}

// A memory device context with a DIB section selected into it, released together.
class OffscreenCanvas {
  public:
    explicit OffscreenCanvas(const BITMAPINFO& info) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ != nullptr && bitmap_ != nullptr) {
            previous_ = SelectObject(dc_, bitmap_);
        }
    }
    ~OffscreenCanvas() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;

    bool Ready() const { return previous_ != nullptr && bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    const void* Bits() const { return bits_; }

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

} // namespace

std::vector<std::uint8_t> ShownPictureDib(const DisplayBitmap& bitmap, int zoom, bool invert) {
    if (!CanDraw(bitmap) || zoom < 1 || bitmap.width <= 0 || bitmap.height <= 0) {
        return {};
    }
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t rowBytes = 0;
    std::size_t imageSize = 0;
    if (!CheckedMultiply(static_cast<std::size_t>(bitmap.width), static_cast<std::size_t>(zoom),
                         width) ||
        !CheckedMultiply(static_cast<std::size_t>(bitmap.height), static_cast<std::size_t>(zoom),
                         height) ||
        !CheckedMultiply(width, 3, rowBytes)) {
        return {};
    }
    rowBytes = (rowBytes + 3) & ~static_cast<std::size_t>(3);
    if (!CheckedMultiply(rowBytes, height, imageSize) || imageSize > SHOWN_PICTURE_LIMIT) {
        return {};
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    OffscreenCanvas canvas(info);
    if (!canvas.Ready()) {
        return {};
    }
    PaintDisplayBitmap(canvas.Dc(), bitmap, 0, 0, zoom, invert);
    GdiFlush();

    std::vector<std::uint8_t> dib(INFO_HEADER_SIZE + imageSize);
    PutInfoHeader(dib.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                  static_cast<std::uint32_t>(imageSize));
    std::memcpy(dib.data() + INFO_HEADER_SIZE, canvas.Bits(), imageSize);
    return dib;
}

std::vector<std::uint8_t> BmpFileBytes(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < INFO_HEADER_SIZE) {
        return {};
    }
    std::vector<std::uint8_t> file(FILE_HEADER_SIZE + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    PutU32LE(file.data() + 2, static_cast<std::uint32_t>(file.size()));
    PutU32LE(file.data() + 10, static_cast<std::uint32_t>(FILE_HEADER_SIZE + GetU32LE(dib.data())));
    std::memcpy(file.data() + FILE_HEADER_SIZE, dib.data(), dib.size());
    return file;
}
