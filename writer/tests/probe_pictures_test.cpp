// The probe file's lay-outs for each depth and its test picture, drawn by hand at 11 x 9.
#include "probe_pictures.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ProbePicturesTest, EveryDistinctLayoutOfTheDepth) {
    const struct {
        int depth;
        std::vector<std::uint32_t> codes;
    } cases[] = {
        {1,
         {0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005, 0x10006, 0x10007, 0x10010, 0x10011,
          0x10012, 0x10013, 0x10014, 0x10015, 0x10016, 0x10017}},
        {8, {0x80000, 0x80001, 0x80010, 0x80011}},
        {24, {0x180000, 0x180001, 0x180004, 0x180005, 0x180010, 0x180011, 0x180014, 0x180015}},
        {3, {}},
        {0, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProbeTypeCodes(c.depth), c.codes) << c.depth;
    }
    EXPECT_EQ(ProbeTypeCodes(2).size(), 16u);
    EXPECT_EQ(ProbeTypeCodes(4).size(), 16u);
    EXPECT_EQ(ProbeTypeCodes(16).size(), 8u);
}

// The corner (c, green), the arrow (a, red) and the figure 1 (w, white) on black.
TEST(ProbePicturesTest, TheTestPictureByHand) {
    const std::vector<std::string> drawn = {
        "ccc........", //
        "cc...a.....", //
        "c...aaa....", //
        ".....a..w..", //
        ".....a.ww..", //
        ".....a..w..", //
        ".....a..w..", //
        ".....a.www.", //
        "...........", //
    };
    const SourceImage picture = ProbePicture(11, 9, 1);
    ASSERT_EQ(picture.width, 11);
    ASSERT_EQ(picture.height, 9);
    ASSERT_EQ(picture.pixels.size(), 99u);
    ASSERT_EQ(picture.rgb.size(), 297u);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 11; ++x) {
            SCOPED_TRACE("x " + std::to_string(x) + ", y " + std::to_string(y));
            const char what = drawn[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            const std::size_t at = static_cast<std::size_t>(y) * 11 + static_cast<std::size_t>(x);
            const std::vector<int> rgb = {picture.rgb[3 * at], picture.rgb[3 * at + 1],
                                          picture.rgb[3 * at + 2]};
            EXPECT_EQ(picture.pixels[at], what == '.' ? 0 : 255);
            const std::vector<int> expected = what == 'c'   ? std::vector<int>{0, 255, 0}
                                              : what == 'a' ? std::vector<int>{255, 0, 0}
                                              : what == 'w' ? std::vector<int>{255, 255, 255}
                                                            : std::vector<int>{0, 0, 0};
            EXPECT_EQ(rgb, expected);
        }
    }
}

} // namespace
