// What the picture-reader fuzz targets check of every result: a read picture is well formed
// (at least one frame, all of one size, width x height grey levels, three colour bytes a
// pixel exactly when asked), and reading the same bytes again gives the same frames.
#pragma once

#include "fuzz_support.h"
#include "picture_readers.h"
#include "source_image.h"

#include <cstddef>
#include <vector>

namespace fuzz {

// Every field that a reader fills.
inline bool SameFrame(const SourceImage& a, const SourceImage& b) {
    return a.width == b.width && a.height == b.height && a.levels == b.levels &&
           a.pixels == b.pixels && a.recordPalette == b.recordPalette && a.indexed == b.indexed &&
           a.colourTable == b.colourTable && a.rgb == b.rgb && a.delay == b.delay;
}

inline bool SameFrames(const std::vector<SourceImage>& a, const std::vector<SourceImage>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!SameFrame(a[i], b[i])) {
            return false;
        }
    }
    return true;
}

// The shape of a picture's frames. Sizes below 1 occur only for 1/4/8-bit bitmaps,
// which give no pixels then.
inline void CheckFrames(const std::vector<SourceImage>& frames, const SourceReadOptions& options,
                        bool coloursAdded) {
    Require(!frames.empty(), "a picture has a frame");
    Require(options.allFrames || frames.size() == 1, "one frame unless all are asked");
    std::size_t total = 0;
    for (const SourceImage& frame : frames) {
        Require(frame.width == frames.front().width && frame.height == frames.front().height,
                "frames of one size");
        Require(frame.levels >= 2 && frame.levels <= 256, "levels from 2 to 256");
        if (frame.pixels.empty()) {
            Require(frame.width < 1 || frame.height < 1, "no pixels only for no size");
            continue;
        }
        Require(frame.width <= MAX_PICTURE_SIDE && frame.height <= MAX_PICTURE_SIDE,
                "sides within the limit");
        Require(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) ==
                    frame.pixels.size(),
                "width x height pixels");
        if (coloursAdded) {
            Require(frame.rgb.size() == (options.colours ? 3 * frame.pixels.size() : 0),
                    "three colour bytes a pixel when asked, none otherwise");
        }
        total += frame.pixels.size();
    }
    Require(frames.size() == 1 || total <= MAX_FRAME_PIXELS, "frames within the limit");
}

// The options that an input's first byte chooses: every frame or the first (bit 4), the
// background (bit 5) and whether colours are kept (bit 6).
inline SourceReadOptions OptionsOf(std::uint8_t selector) {
    SourceReadOptions options;
    options.allFrames = (selector & 0x10) != 0;
    options.background = (selector & 0x20) != 0 ? 0 : 255;
    options.colours = (selector & 0x40) != 0;
    return options;
}

// A colour reader (PNG, GIF, JPEG, TGA) on the input's bytes behind its selector byte:
// twice, and both readings must agree; a picture must be well formed, and a failure must
// come with its message.
using ColourReader = Readout (*)(PictureBytes, const std::string&, const SourceReadOptions&);

inline void FuzzColourReader(ColourReader reader, const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const SourceReadOptions options = OptionsOf(data[0]);
    const PictureBytes bytes(data + 1, size - 1);
    const Readout first = reader(bytes, "input", options);
    const Readout second = reader(bytes, "input", options);
    Require(first.failure == second.failure && first.cut == second.cut &&
                SameFrames(first.frames, second.frames),
            "the same bytes read twice give the same picture");
    if (!first.failure.Ok()) {
        Require(first.frames.empty() || OutcomeText(first.failure).find("ERROR: ") == 0,
                "a failure carries its message");
        return;
    }
    CheckFrames(first.frames, options, true);
    for (const SourceImage& frame : first.frames) {
        Require(frame.levels == 256 && !frame.indexed, "colour readers give 256 grey levels");
    }
}

} // namespace fuzz
