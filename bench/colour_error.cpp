// The mean colour error of a picture against another of the same size, in OKLab: the
// Euclidean distance of every pixel pair, averaged, computed in double precision on its
// own (not with the converter's fixed-point OKLab), for the palette quality table of
// docs/pictures.md. Usage: zentra_colour_error ORIGINAL RESULT
#include "source_image.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Oklab {
    double l, a, b;
};

double Linear(std::uint8_t value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Oklab ToOklab(const std::uint8_t* rgb) {
    const double r = Linear(rgb[0]);
    const double g = Linear(rgb[1]);
    const double b = Linear(rgb[2]);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

std::optional<SourceImage> Load(const char* path) {
    SourceReadOptions options;
    options.colours = true;
    std::optional<std::vector<SourceImage>> frames = LoadImageFrames(path, options, MessageSink{});
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zentra_colour_error ORIGINAL RESULT\n");
        return 2;
    }
    const std::optional<SourceImage> original = Load(argv[1]);
    const std::optional<SourceImage> result = Load(argv[2]);
    if (!original || !result) {
        return 1;
    }
    if (original->width != result->width || original->height != result->height ||
        original->rgb.size() != result->rgb.size()) {
        std::fprintf(stderr, "zentra_colour_error: '%s' and '%s' differ in size\n", argv[1],
                     argv[2]);
        return 1;
    }
    double total = 0;
    const std::size_t count = original->rgb.size() / 3;
    for (std::size_t i = 0; i < count; ++i) {
        const Oklab x = ToOklab(&original->rgb[3 * i]);
        const Oklab y = ToOklab(&result->rgb[3 * i]);
        total += std::sqrt((x.l - y.l) * (x.l - y.l) + (x.a - y.a) * (x.a - y.a) +
                           (x.b - y.b) * (x.b - y.b));
    }
    std::printf("%.5f\n", count > 0 ? total / static_cast<double>(count) : 0.0);
    return 0;
}
