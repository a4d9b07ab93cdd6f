// A picture read once with its alpha kept and then composited over a background equals
// the picture read over that background: for PNG, GIF, 32-bit bitmap and TGA sources with
// transparent pixels, on black and on white, with and without colours.
#include "colour_to_grey.h"
#include "source_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(KeepAlphaTest, CompositingLaterEqualsReadingOverTheBackground) {
    const std::string data = ZENTRA_TEST_DATA;
    const char* pictures[] = {"pil_colour7x5_rgba.png", "im_anim9x7.gif", "pil_colour7x5_rgba.bmp",
                              "netpbm_colour7x5.tga", "im_grey7x5.png"};
    bool someAlpha = false;
    for (const char* picture : pictures) {
        for (const std::uint8_t background : {std::uint8_t{0}, std::uint8_t{255}}) {
            for (const bool colours : {false, true}) {
                SCOPED_TRACE(std::string(picture) + " on " + std::to_string(background) +
                             (colours ? " with colours" : ""));
                SourceReadOptions direct;
                direct.allFrames = true;
                direct.background = background;
                direct.colours = colours;
                SourceReadOptions kept = direct;
                kept.background = 255 - background; // must not matter
                kept.keepAlpha = true;
                const auto expected = LoadImageFrames(data + "/" + picture, direct, MessageSink{});
                auto later = LoadImageFrames(data + "/" + picture, kept, MessageSink{});
                ASSERT_TRUE(expected && later);
                ASSERT_EQ(later->size(), expected->size());
                for (std::size_t k = 0; k < later->size(); ++k) {
                    SourceImage& frame = (*later)[k];
                    someAlpha = someAlpha || !frame.alpha.empty();
                    CompositeOverBackground(frame, background);
                    EXPECT_TRUE(frame.alpha.empty());
                    EXPECT_EQ(frame.pixels, (*expected)[k].pixels) << k;
                    EXPECT_EQ(frame.rgb, (*expected)[k].rgb) << k;
                }
            }
        }
    }
    EXPECT_TRUE(someAlpha); // the fixtures do have transparent pixels
}

} // namespace
