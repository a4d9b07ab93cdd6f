// Fuzz target: the PBM/PGM reader on arbitrary file contents. A picture that comes back
// must be whole (width x height bytes), its levels within 2-256 and its palette empty; a
// raw PBM holds only black and white, and every byte of a raw PGM is a byte sample
// scaled to those levels (a sample above maxval keeps the low 8 bits of its product).
#include "first_frame.h"
#include "fuzz_support.h"
#include "source_image.h"

#include <bitset>
#include <cctype>

namespace {

// The bytes that sample x 255 / (levels - 1) can give for byte samples.
std::bitset<256> ScaledValues(int levels) {
    std::bitset<256> values;
    for (int sample = 0; sample < 256; ++sample) {
        values.set(static_cast<std::size_t>((sample * 255 / (levels - 1)) & 0xFF));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::ScratchPath("input.pgm");
    fuzz::WriteFile(path, data, size);

    const std::optional<SourceImage> image = ReadPnmFirstFrame(path, fuzz::SilentSink());
    if (!image) {
        return 0;
    }
    fuzz::Require(image->width >= 1 && image->height >= 1, "picture of at least 1 x 1");
    fuzz::Require(image->pixels.size() == static_cast<std::size_t>(image->width) *
                                              static_cast<std::size_t>(image->height),
                  "pixel block of width x height bytes");
    fuzz::Require(image->levels >= 2 && image->levels <= 256, "levels from 2 to 256");
    // The format token of a raw file, "P4" or "P5" followed by white space.
    const bool rawBits = size > 2 && data[0] == 'P' && data[1] == '4' && std::isspace(data[2]);
    const bool rawGrey = size > 2 && data[0] == 'P' && data[1] == '5' && std::isspace(data[2]);
    std::bitset<256> allowed;
    if (rawBits) {
        allowed.set(0);
        allowed.set(255);
    } else if (rawGrey) {
        allowed = ScaledValues(image->levels);
    } else {
        allowed.set();
    }
    for (const std::uint8_t value : image->pixels) {
        fuzz::Require(allowed.test(value), "pixel is a scaled sample value");
    }
    for (const std::uint8_t entry : image->recordPalette) {
        fuzz::Require(entry == 0, "PBM/PGM palette all zero");
    }
    return 0;
}
