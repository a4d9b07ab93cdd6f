// Fuzz target: the bitmap reader on arbitrary file contents, from memory. A 1-, 4- or
// 8-bit bitmap comes back with 2, 16 or 256 levels, a pixel block of exactly width x
// height bytes (none when a side is below 1), pixels that are scaled colour-table indices
// and no palette at 1 bit; a 16-, 24- or 32-bit one as 256 grey levels of at least 1 x 1
// without a table. The same bytes read twice give the same picture.
#include "first_frame.h"
#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PictureBytes bytes(data, size);
    const std::optional<SourceImage> image =
        ReadBmpFirstFrame(bytes, "input.bmp", fuzz::SilentSink());
    const std::optional<SourceImage> again =
        ReadBmpFirstFrame(bytes, "input.bmp", fuzz::SilentSink());
    fuzz::Require(image.has_value() == again.has_value() &&
                      (!image || fuzz::SameFrame(*image, *again)),
                  "the same bytes read twice give the same picture");
    if (!image) {
        return 0;
    }
    const int levels = image->levels;
    if (image->width >= 1 && image->height >= 1) {
        fuzz::Require(image->pixels.size() == static_cast<std::size_t>(image->width) *
                                                  static_cast<std::size_t>(image->height),
                      "pixel block of width x height bytes");
    } else {
        fuzz::Require(image->pixels.empty() && image->indexed,
                      "no pixel block for a side below 1, and only at 1 to 8 bits");
    }
    if (!image->indexed) {
        fuzz::Require(levels == 256, "grey levels of a 16-, 24- or 32-bit bitmap");
        fuzz::Require(image->width >= 1 && image->height >= 1, "a high-colour picture has pixels");
        for (const std::uint8_t entry : image->recordPalette) {
            fuzz::Require(entry == 0, "high-colour bitmap palette all zero");
        }
        return 0;
    }
    fuzz::Require(levels == 2 || levels == 16 || levels == 256,
                  "levels of a 1-, 4- or 8-bit bitmap");
    // Index i is stored as i x 255 / (levels - 1): multiples of 255 at 1 bit, of 17 at 4.
    const int step = 255 / (levels - 1);
    for (const std::uint8_t value : image->pixels) {
        fuzz::Require(value % step == 0, "pixel is a scaled colour-table index");
    }
    if (levels == 2) {
        for (const std::uint8_t entry : image->recordPalette) {
            fuzz::Require(entry == 0, "1-bit bitmap palette all zero");
        }
    }
    return 0;
}
