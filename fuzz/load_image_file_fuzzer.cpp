// Fuzz target: LoadImageFile by extension. The first input byte picks the file name's
// extension, the rest is the file. Whatever the extension, the result must equal the
// chosen reader's own result, with a bitmap's rows turned top first.
#include "fuzz_support.h"
#include "source_image.h"

#include <algorithm>
#include <array>

namespace {

struct Extension {
    const char* suffix;
    bool bitmap; // read by the bitmap reader
};

constexpr std::array<Extension, 9> EXTENSIONS{{
    {".bmp", true},
    {".BMP", true},
    {".bMp", true},
    {".pgm", false},
    {".pbm", false},
    {".dib", false},
    {".bmpx", false},
    {".bm", false},
    {"", false},
}};

bool SameImage(const SourceImage& a, const SourceImage& b) {
    return a.width == b.width && a.height == b.height && a.levels == b.levels &&
           a.pixels == b.pixels && a.palette == b.palette;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const Extension& extension = EXTENSIONS[data[0] % EXTENSIONS.size()];
    const std::string path = fuzz::ScratchPath("load") + extension.suffix;
    fuzz::WriteFile(path, data + 1, size - 1);

    const std::optional<SourceImage> loaded = LoadImageFile(path, fuzz::SilentSink());
    std::optional<SourceImage> direct = extension.bitmap ? ReadBmpImage(path, fuzz::SilentSink())
                                                         : ReadPnmImage(path, fuzz::SilentSink());
    std::remove(path.c_str());

    fuzz::Require(loaded.has_value() == direct.has_value(), "same reader chosen");
    if (!loaded) {
        return 0;
    }
    if (extension.bitmap && !direct->pixels.empty()) {
        ReverseRows(direct->pixels.data(), static_cast<std::size_t>(direct->width),
                    static_cast<std::size_t>(direct->height));
    }
    fuzz::Require(SameImage(*loaded, *direct), "loaded picture equals the reader's, top first");
    return 0;
}
