// The changed rectangle of a delta frame: found by comparing the pixel bytes of two
// pictures, then widened to whole packed bytes along the packing axis and clipped.
#include "changed_rect.h"

#include "zentra_format.h"

#include <cstddef>
#include <cstring>

namespace {

bool RowsDiffer(const std::uint8_t* a, const std::uint8_t* b, std::size_t width) {
    return std::memcmp(a, b, width) != 0;
}

// Eight bytes of a and b at once: whether they differ anywhere.
bool WordsDiffer(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint64_t wordA = 0;
    std::uint64_t wordB = 0;
    std::memcpy(&wordA, a, sizeof wordA);
    std::memcpy(&wordB, b, sizeof wordB);
    return wordA != wordB;
}

// The first x in [0, end) where a and b differ, or end. Whole words are passed over
// eight bytes at a time; the byte is then found within the word.
int FirstDifference(const std::uint8_t* a, const std::uint8_t* b, int end) {
    int x = 0;
    while (x + 8 <= end && !WordsDiffer(a + x, b + x)) {
        x += 8;
    }
    while (x < end && a[x] == b[x]) {
        ++x;
    }
    return x;
}

// The last x in (stop, width) where a and b differ, or stop; scans from the right.
int LastDifference(const std::uint8_t* a, const std::uint8_t* b, int width, int stop) {
    int x = width - 1;
    while (x - 8 >= stop && !WordsDiffer(a + x - 7, b + x - 7)) {
        x -= 8;
    }
    while (x > stop && a[x] == b[x]) {
        --x;
    }
    return x;
}

} // namespace

// The rows above the first and below the last differing row are passed over with
// memcmp. Within the band between them, a row only needs looking at left of the
// leftmost and right of the rightmost difference found so far, so each row scans in
// from both ends and stops there.
// Pixels of several bytes are scanned as a row of width x bytesPerPixel bytes, and the
// byte columns found are turned back into pixel columns.
std::optional<ChangedRect> FindChangedRect(const std::uint8_t* current,
                                           const std::uint8_t* previous, int width, int height,
                                           int bytesPerPixel) {
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0) {
        return std::nullopt;
    }
    const auto rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
    const int rowLength = width * bytesPerPixel;
    auto offset = [rowBytes](int y) { return static_cast<std::size_t>(y) * rowBytes; };
    int top = 0;
    while (top < height && !RowsDiffer(current + offset(top), previous + offset(top), rowBytes)) {
        ++top;
    }
    if (top == height) {
        return std::nullopt;
    }
    int bottom = height - 1;
    while (!RowsDiffer(current + offset(bottom), previous + offset(bottom), rowBytes)) {
        --bottom;
    }
    int left = rowLength;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* a = current + offset(y);
        const std::uint8_t* b = previous + offset(y);
        left = FirstDifference(a, b, left);
        right = LastDifference(a, b, rowLength, right);
    }
    left /= bytesPerPixel;
    right /= bytesPerPixel;
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
