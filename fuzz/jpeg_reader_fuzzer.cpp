// Fuzz target: the JPEG reader on arbitrary bytes, from memory. The first input byte picks
// the options (every frame, background, colours; see OptionsOf), the rest is the file. The
// same bytes read twice must give the same picture, and every picture must be well formed.
#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzColourReader(ReadJpegPicture, data, size);
    return 0;
}
