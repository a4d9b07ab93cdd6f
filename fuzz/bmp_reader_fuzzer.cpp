// Fuzz target: the bitmap reader on arbitrary file contents. A picture that comes back
// has 2, 16 or 256 levels, a pixel block of exactly width x height bytes (none when a
// side is below 1), pixels that are scaled colour-table indices, and no palette at 1 bit.
#include "fuzz_support.h"
#include "source_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("input.bmp");
    fuzz::WriteFile(path, data, size);

    const std::optional<SourceImage> image = ReadBmpImage(path, fuzz::SilentSink());
    if (!image) {
        return 0;
    }
    const int levels = image->levels;
    fuzz::Require(levels == 2 || levels == 16 || levels == 256,
                  "levels of a 1-, 4- or 8-bit bitmap");
    if (image->width >= 1 && image->height >= 1) {
        fuzz::Require(image->pixels.size() == static_cast<std::size_t>(image->width) *
                                                  static_cast<std::size_t>(image->height),
                      "pixel block of width x height bytes");
    } else {
        fuzz::Require(image->pixels.empty(), "no pixel block for a side below 1");
    }
    // Index i is stored as i x 255 / (levels - 1): multiples of 255 at 1 bit, of 17 at 4.
    const int step = 255 / (levels - 1);
    for (const std::uint8_t value : image->pixels) {
        fuzz::Require(value % step == 0, "pixel is a scaled colour-table index");
    }
    if (levels == 2) {
        for (const std::uint8_t entry : image->palette) {
            fuzz::Require(entry == 0, "1-bit bitmap palette all zero");
        }
    }
    return 0;
}
