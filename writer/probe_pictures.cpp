// The probe file: test pictures drawn in memory and written through the sequence writer,
// one full frame per lay-out.
#include "probe_pictures.h"

#include "type_code.h"
#include "zentra_format.h"

#include <algorithm>
#include <memory>

namespace {

struct Colour {
    std::uint8_t red, green, blue;
};

constexpr Colour ARROW = {255, 0, 0};
constexpr Colour CORNER = {0, 255, 0};
constexpr Colour FIGURES = {255, 255, 255};

// The figures 0 to 9, five rows of three pixels each, the left pixel in bit 2.
constexpr std::uint8_t FONT[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

class Canvas {
  public:
    explicit Canvas(SourceImage& picture) : picture_(picture) {}

    // Sets a pixel; those outside the picture are left out.
    void Set(int x, int y, Colour colour) {
        if (x < 0 || y < 0 || x >= picture_.width || y >= picture_.height) {
            return;
        }
        const std::size_t at = static_cast<std::size_t>(y) * picture_.width + x;
        picture_.pixels[at] = 255;
        picture_.rgb[3 * at] = colour.red;
        picture_.rgb[3 * at + 1] = colour.green;
        picture_.rgb[3 * at + 2] = colour.blue;
    }

    void Fill(int left, int top, int width, int height, Colour colour) {
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                Set(x, y, colour);
            }
        }
    }

  private:
    SourceImage& picture_;
};

} // namespace

std::vector<std::uint32_t> ProbeTypeCodes(int depth) {
    // Planar lay-outs are left out: the probe shows pixel order, and a planar panel is
    // told by its planes.
    std::vector<std::uint32_t> codes;
    for (const std::uint8_t layout : WrittenLayouts(static_cast<unsigned>(depth))) {
        if ((layout & LAYOUT_PLANAR) == 0) {
            codes.push_back(MakeTypeCode(layout, static_cast<std::uint8_t>(depth)));
        }
    }
    return codes;
}

SourceImage ProbePicture(int width, int height, int number) {
    SourceImage picture;
    picture.width = width;
    picture.height = height;
    picture.levels = 256;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    picture.pixels.assign(count, 0);
    picture.rgb.assign(3 * count, 0);
    Canvas canvas(picture);
    const int side = std::min(width, height);

    // The corner: a triangle whose long side runs from (size, 0) to (0, size).
    const int corner = std::max(3, side / 4);
    for (int y = 0; y < corner; ++y) {
        canvas.Fill(0, y, corner - y, 1, CORNER);
    }

    // The arrow: a head as wide as it is high, over a shaft of an odd width.
    const int head = std::max(2, side / 4);
    const int shaft = std::max(1, side / 16) | 1;
    const int middle = width / 2;
    const int top = std::max(1, side / 8);
    const int bottom = height - top;
    for (int y = 0; y < head; ++y) {
        canvas.Fill(middle - y, top + y, 2 * y + 1, 1, ARROW);
    }
    canvas.Fill(middle - shaft / 2, top + head, shaft, bottom - top - head, ARROW);

    // The number at the bottom right, one pixel clear of the edges.
    const int scale = std::max(1, side / 16);
    const std::string figures = std::to_string(number);
    int x = width - 1 - static_cast<int>(figures.size()) * 4 * scale + scale;
    const int y = height - 1 - 5 * scale;
    for (const char figure : figures) {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if ((FONT[figure - '0'][row] >> (2 - column) & 1) != 0) {
                    canvas.Fill(x + column * scale, y + row * scale, scale, scale, FIGURES);
                }
            }
        }
        x += 4 * scale;
    }
    return picture;
}

Outcome WriteProbeFile(int width, int height, int depth, const ConversionContext& context) {
    const std::vector<std::uint32_t> codes = ProbeTypeCodes(depth);
    std::vector<Sequence> sequences;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        Frame frame;
        frame.path = "probe picture " + std::to_string(k);
        frame.picture =
            std::make_shared<const SourceImage>(ProbePicture(width, height, static_cast<int>(k)));
        sequences.push_back({codes[k], {frame}, {}});
    }
    return WriteSequences(sequences, context);
}
