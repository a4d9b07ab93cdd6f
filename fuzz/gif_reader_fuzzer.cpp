// Fuzz target: the GIF reader on arbitrary bytes, from memory. The first input byte picks
// the options (every frame, background, colours; see OptionsOf), the rest is the file. The
// same bytes read twice must give the same picture, and every picture must be well formed.
// Screens of more than 256 x 256 pixels are legal but only slow the search (every frame is
// a whole screen), so they are left to the loader target.
#include "little_endian.h"
#include "picture_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t MOST_SCREEN_PIXELS = 256 * 256;
    if (size >= 11 && std::size_t{GetU16LE(data + 7)} * GetU16LE(data + 9) > MOST_SCREEN_PIXELS) {
        return 0;
    }
    fuzz::FuzzColourReader(ReadGifPicture, data, size);
    return 0;
}
