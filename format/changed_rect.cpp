// The changed rectangle of a delta frame: found by comparing the pixel bytes of two
// pictures, then widened to whole packed bytes along the packing axis and clipped.
#include "changed_rect.h"

#include "zentra_format.h"

#include <algorithm>
#include <cstddef>

std::optional<ChangedRect> FindChangedRect(const std::uint8_t* current,
                                           const std::uint8_t* previous, int width, int height) {
    int left = width;
    int top = height;
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::uint8_t* a = current + rowStart;
        const std::uint8_t* b = previous + rowStart;
        for (int x = 0; x < width; ++x) {
            if (a[x] != b[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    if (right < 0) {
        return std::nullopt;
    }
    ChangedRect rect;
    rect.x = static_cast<std::int16_t>(left);
    rect.y = static_cast<std::int16_t>(top);
    rect.width = static_cast<std::int16_t>(right - left + 1);
    rect.height = static_cast<std::int16_t>(bottom - top + 1);
    return rect;
}

namespace {

int PixelsPerByte(int depth) {
    switch (depth) {
    case 1:
        return 8;
    case 2:
        return 4;
    case 4:
        return 2;
    case 8:
        return 1;
    default:
        return 0;
    }
}

// Widens [start, start + size) to multiples of p; start is never negative here.
void AlignSpan(int& start, int& size, int p) {
    const int end = start + size;
    start -= start % p;
    size = (end + p - 1) / p * p - start;
}

} // namespace

// Works in int throughout: an aligned end may pass 32767 before it is clipped back to
// the picture.
ChangedRect AlignChangedRect(ChangedRect rect, int depth, int order, int width, int height) {
    int x = rect.x;
    int y = rect.y;
    int w = rect.width;
    int h = rect.height;
    const int p = PixelsPerByte(depth);
    if (p > 0) {
        const int packingOrder = order & LAYOUT_ORDER;
        if (packingOrder == ORDER_ROWS || packingOrder == ORDER_BANDED_COLUMNS) {
            AlignSpan(x, w, p);
        } else {
            AlignSpan(y, h, p);
        }
    }
    if (x + w > width) {
        w = width - x;
    }
    if (y + h > height) {
        h = height - y;
    }
    ChangedRect aligned;
    aligned.x = static_cast<std::int16_t>(x);
    aligned.y = static_cast<std::int16_t>(y);
    aligned.width = static_cast<std::int16_t>(w);
    aligned.height = static_cast<std::int16_t>(h);
    return aligned;
}
