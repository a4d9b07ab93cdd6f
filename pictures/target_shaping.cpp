// Shaping a decoded picture for one display target, from compositing to row order.
#include "target_shaping.h"

#include "checked_size.h"
#include "colour_to_grey.h"
#include "decoded_pictures.h"
#include "read_failure.h"
#include "zentra_format.h"

#include <new>
#include <vector>

namespace {

bool SameTone(const ToneOptions& a, const ToneOptions& b) {
    return a.source == b.source && a.background == b.background && a.rotate == b.rotate &&
           a.mirrorX == b.mirrorX && a.mirrorY == b.mirrorY && a.resizeWidth == b.resizeWidth &&
           a.resizeHeight == b.resizeHeight && a.fit == b.fit && a.invert == b.invert &&
           a.threshold == b.threshold && a.autoThreshold == b.autoThreshold &&
           a.dither == b.dither && a.palette == b.palette && a.colours == b.colours &&
           a.saturation == b.saturation;
}

bool SameColours(const TargetColours* a, const TargetColours* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a->palette == b->palette && a->match.colours == b->match.colours &&
           a->match.colourless == b->match.colourless && a->match.hueWeight == b->match.hueWeight;
}

// Whether a picture's grey levels and colours both hold width x height pixels, as mapping
// it to a palette needs.
bool ColoursFitSize(const SourceImage& picture) {
    std::size_t count = 0;
    return picture.width > 0 && picture.height > 0 &&
           CheckedMultiply(static_cast<std::size_t>(picture.width),
                           static_cast<std::size_t>(picture.height), count) &&
           picture.pixels.size() == count && picture.rgb.size() / 3 == count &&
           picture.rgb.size() % 3 == 0;
}

// Turns a shaped picture's colours into indices of the palette (in the grey levels, where
// the packers take them: an index in the top bits, as a reader scales a bitmap's indices)
// or, for colour records, into the palette's colours. False when memory ran out.
bool MapPicture(SourceImage& picture, const TargetColours& colours, int depth, Dither dither) {
    const Palette& palette = colours.palette;
    std::vector<std::uint8_t> indices;
    try {
        indices.resize(picture.pixels.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!MapToPalette(picture.rgb.data(), picture.width, picture.height, colours.match, dither,
                      indices.data())) {
        return false;
    }
    if (IsColourDepth(static_cast<unsigned>(depth))) {
        for (std::size_t i = 0; i < indices.size(); ++i) {
            const PaletteColour& colour = palette[indices[i]];
            picture.rgb[3 * i] = colour.red;
            picture.rgb[3 * i + 1] = colour.green;
            picture.rgb[3 * i + 2] = colour.blue;
        }
        return true;
    }
    const int shift = depth < 8 ? 8 - depth : 0;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        picture.pixels[i] = static_cast<std::uint8_t>(indices[i] << shift);
    }
    std::vector<std::uint8_t>().swap(picture.rgb); // the colours are no longer needed
    return true;
}

} // namespace

bool SameShaping(const TargetShaping& a, const TargetShaping& b) {
    return a.depth == b.depth && a.rowsBottomFirst == b.rowsBottomFirst &&
           SameTone(a.tone, b.tone) && SameColours(a.colours, b.colours);
}

bool PictureShaper::NeedsColours() const {
    return IsColourDepth(static_cast<unsigned>(shaping_.depth)) || shaping_.colours != nullptr;
}

Outcome PictureShaper::Shape(const SourceImage& decoded, const std::string& name,
                             ShapedPicture& shaped) {
    const Outcome outOfMemory{.code = OutcomeCode::OutOfMemory};
    const int depth = shaping_.depth;
    const ToneOptions& tone = shaping_.tone;
    const bool colour = IsColourDepth(static_cast<unsigned>(depth));
    try {
        shaped.picture = PictureForType(decoded, tone.background, NeedsColours());
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    }
    SourceImage& picture = shaped.picture;
    shaped.readWidth = picture.width;
    shaped.readHeight = picture.height;
    PictureArea area;
    if (!ShapePicture(picture, tone, depth, &area)) {
        return outOfMemory;
    }
    if (!threshold_) {
        threshold_ = tone.autoThreshold ? OtsuThreshold(picture, area) : tone.threshold;
    }
    if (shaping_.colours != nullptr) {
        if (!AddColours(picture)) {
            return outOfMemory;
        }
        if (!ColoursFitSize(picture)) {
            return InvalidSize(name, picture.width, picture.height);
        }
        if (!MapPicture(picture, *shaping_.colours, depth, tone.dither)) {
            return outOfMemory;
        }
    } else {
        // Indexed bitmaps keep their colour-table indices, shown through their palette.
        if (!picture.indexed) {
            QuantisePicture(picture.pixels.data(), picture.width, picture.height, depth,
                            *threshold_, tone.dither);
        }
        if (colour && !QuantiseColours(picture.rgb.data(), picture.width, picture.height, depth,
                                       tone.dither)) {
            return outOfMemory;
        }
    }
    if (shaping_.rowsBottomFirst) {
        std::vector<std::uint8_t>& samples = colour ? picture.rgb : picture.pixels;
        const std::size_t pixelBytes = colour ? 3 : 1;
        const std::size_t rowLength = static_cast<std::size_t>(picture.width) * pixelBytes;
        // A picture whose samples do not cover its size is refused by the writer's size
        // check; its rows are left as they are.
        std::size_t count = 0;
        if (picture.width > 0 && picture.height > 0 &&
            CheckedMultiply(rowLength, static_cast<std::size_t>(picture.height), count) &&
            samples.size() == count) {
            ReverseRows(samples.data(), rowLength, static_cast<std::size_t>(picture.height));
        }
    }
    return {};
}
