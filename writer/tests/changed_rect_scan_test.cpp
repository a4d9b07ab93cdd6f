// The changed rectangle on rows wider than one machine word: the search passes over
// equal rows whole and over equal bytes eight at a time, so differences right at, just
// before and just after an eight-byte boundary, and in a row's last partial word, must
// all be found.
#include "changed_rect.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ScanCase {
    const char* name;
    int width;
    int height;
    std::vector<std::pair<int, int>> changed; // (x, y)
    int x, y, w, h;                           // expected rectangle
};

TEST(ChangedRectScanTest, FindsDifferencesAroundWordBoundaries) {
    const ScanCase cases[] = {
        {"last byte of a partial word", 17, 3, {{16, 2}}, 16, 2, 1, 1},
        {"either side of a boundary", 17, 3, {{8, 0}, {7, 2}}, 7, 0, 2, 3},
        {"first and last byte of a row", 9, 3, {{0, 1}, {8, 1}}, 0, 1, 9, 1},
        {"two middle words", 33, 5, {{15, 1}, {16, 3}}, 15, 1, 2, 3},
        {"last row, last word", 33, 5, {{24, 4}}, 24, 4, 1, 1},
        {"wide band from three rows", 40, 4, {{1, 0}, {38, 0}, {20, 2}}, 1, 0, 38, 3},
        {"narrower rows below a wide one", 41, 6, {{3, 1}, {37, 1}, {10, 4}, {30, 5}}, 3, 1, 35, 5},
        {"leftmost found on a later row", 26, 5, {{20, 0}, {2, 3}, {9, 4}}, 2, 0, 19, 5},
        {"rightmost found on a later row", 26, 5, {{4, 1}, {25, 4}}, 4, 1, 22, 4},
        {"one column picture", 1, 7, {{0, 6}}, 0, 6, 1, 1},
        {"first pixel only", 64, 2, {{0, 0}}, 0, 0, 1, 1},
        {"last pixel only", 64, 2, {{63, 1}}, 63, 1, 1, 1},
    };
    for (const ScanCase& c : cases) {
        const std::size_t size = static_cast<std::size_t>(c.width) * c.height;
        std::vector<std::uint8_t> previous(size);
        for (std::size_t i = 0; i < size; ++i) {
            previous[i] = static_cast<std::uint8_t>(i * 37 + 11);
        }
        std::vector<std::uint8_t> current = previous;
        for (const auto& [x, y] : c.changed) {
            current[static_cast<std::size_t>(y) * c.width + x] ^= 0x01;
        }
        const std::optional<ChangedRect> rect =
            FindChangedRect(current.data(), previous.data(), c.width, c.height);
        ASSERT_TRUE(rect.has_value()) << c.name;
        EXPECT_EQ(rect->x, c.x) << c.name;
        EXPECT_EQ(rect->y, c.y) << c.name;
        EXPECT_EQ(rect->width, c.w) << c.name;
        EXPECT_EQ(rect->height, c.h) << c.name;
    }
}

TEST(ChangedRectScanTest, EqualWidePicturesHaveNoRectangle) {
    std::vector<std::uint8_t> picture(45 * 7);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<std::uint8_t>(i);
    }
    const std::vector<std::uint8_t> copy = picture;
    EXPECT_FALSE(FindChangedRect(picture.data(), copy.data(), 45, 7).has_value());
}

} // namespace
