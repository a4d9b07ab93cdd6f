// Tests of the changed rectangle: finding it between two pictures and aligning it to
// whole packed bytes along each order's packing axis.
#include "changed_rect.h"

#include "zentra_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ChangedRect Rect(int x, int y, int width, int height) {
    ChangedRect rect;
    rect.x = static_cast<std::int16_t>(x);
    rect.y = static_cast<std::int16_t>(y);
    rect.width = static_cast<std::int16_t>(width);
    rect.height = static_cast<std::int16_t>(height);
    return rect;
}

::testing::AssertionResult SameRect(const ChangedRect& actual, const ChangedRect& expected) {
    if (actual.x == expected.x && actual.y == expected.y && actual.width == expected.width &&
        actual.height == expected.height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << actual.x << ", " << actual.y << ", " << actual.width << ", "
           << actual.height << "), expected (" << expected.x << ", " << expected.y << ", "
           << expected.width << ", " << expected.height << ")";
}

TEST(ChangedRectTest, FindsTheSmallestRectangleOfChangedBytes) {
    struct FindCase {
        const char* name;
        std::vector<std::pair<int, int>> changed; // (x, y) in a 7 x 4 picture
        ChangedRect expected;
    };
    const FindCase cases[] = {
        {"one pixel", {{3, 1}}, Rect(3, 1, 1, 1)},
        {"two corners", {{1, 3}, {5, 0}}, Rect(1, 0, 5, 4)},
        {"last pixel", {{6, 3}}, Rect(6, 3, 1, 1)},
        {"first pixel", {{0, 0}}, Rect(0, 0, 1, 1)},
        {"one row", {{2, 2}, {4, 2}}, Rect(2, 2, 3, 1)},
    };
    for (const FindCase& c : cases) {
        std::vector<std::uint8_t> previous(28);
        for (std::size_t k = 0; k < previous.size(); ++k) {
            previous[k] = static_cast<std::uint8_t>(k * 9);
        }
        std::vector<std::uint8_t> current = previous;
        for (const auto& [x, y] : c.changed) {
            current[static_cast<std::size_t>(y * 7 + x)] ^= 1; // a change of one grey step
        }
        const std::optional<ChangedRect> found =
            FindChangedRect(current.data(), previous.data(), 7, 4);
        ASSERT_TRUE(found.has_value()) << c.name;
        EXPECT_TRUE(SameRect(*found, c.expected)) << c.name;
    }
}

TEST(ChangedRectTest, EqualPicturesHaveNoRectangle) {
    const std::vector<std::uint8_t> picture = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    EXPECT_FALSE(FindChangedRect(picture.data(), picture.data(), 5, 3).has_value());
}

TEST(ChangedRectTest, AlignsAlongThePackingAxisAndClips) {
    struct AlignCase {
        const char* name;
        ChangedRect rect;
        int depth;
        int order;
        int width;
        int height;
        ChangedRect expected;
    };
    const AlignCase cases[] = {
        {"row order, depth 1", Rect(13, 5, 8, 2), 1, ORDER_ROWS, 128, 64, Rect(8, 5, 16, 2)},
        {"column order, depth 1", Rect(13, 5, 8, 2), 1, ORDER_COLUMNS, 128, 64, Rect(13, 0, 8, 8)},
        {"banded rows align y", Rect(13, 5, 8, 2), 1, ORDER_BANDED_ROWS, 128, 64,
         Rect(13, 0, 8, 8)},
        {"banded columns align x", Rect(13, 5, 8, 2), 1, ORDER_BANDED_COLUMNS, 128, 64,
         Rect(8, 5, 16, 2)},
        {"columns 300-301 of 320", Rect(300, 7, 2, 3), 1, ORDER_ROWS, 320, 20, Rect(296, 7, 8, 3)},
        {"cut at the right edge", Rect(17, 0, 2, 1), 1, ORDER_ROWS, 21, 5, Rect(16, 0, 5, 1)},
        {"cut at the bottom edge", Rect(0, 9, 3, 2), 1, ORDER_COLUMNS, 5, 11, Rect(0, 8, 3, 3)},
        {"depth 8 unchanged", Rect(13, 5, 7, 2), 8, ORDER_ROWS, 128, 64, Rect(13, 5, 7, 2)},
        {"depth 4, two per byte", Rect(5, 1, 1, 1), 4, ORDER_ROWS, 16, 4, Rect(4, 1, 2, 1)},
        {"depth 2, four per byte", Rect(5, 1, 1, 1), 2, ORDER_ROWS, 16, 4, Rect(4, 1, 4, 1)},
        {"depth 3 only clipped", Rect(5, 1, 9, 1), 3, ORDER_ROWS, 12, 4, Rect(5, 1, 7, 1)},
        {"end beyond 32767 before clipping", Rect(32765, 0, 2, 1), 1, ORDER_ROWS, 32767, 1,
         Rect(32760, 0, 7, 1)},
        {"aligned already", Rect(8, 0, 8, 1), 1, ORDER_ROWS, 24, 1, Rect(8, 0, 8, 1)},
    };
    for (const AlignCase& c : cases) {
        EXPECT_TRUE(
            SameRect(AlignChangedRect(c.rect, c.depth, c.order, c.width, c.height), c.expected))
            << c.name;
    }
}

} // namespace
