// ConvertPicturesInMemory: what ConvertPictureFiles does, for pictures whose files are held
// in memory, with the written Zentra files kept in memory: the web page, which has no file
// system, converts through it.
#pragma once

#include "convert_images.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A picture file in memory under its name (which names it in messages and names its
// output, as ChosenOutputPath does).
struct PictureInMemory {
    std::string name;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    // In an animation, the delay of every frame of this picture (a GIF's too); -1 takes
    // the common delay, or a GIF's own with context.sourceDelays.
    int delay = -1;
};

struct FileInMemory {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// With `animation`, one file of every picture's frames and the first frame once more (as
// AnimationFrames), named after the first picture; the closing frame carries the first
// picture's delay. Without, one file per picture, in order, stopping at the first failure.
// Refuses first, as ConvertPictureFiles does, an output named as one of the pictures and
// two pictures whose outputs share a name. `files` receives every file written, in order,
// also when a later one failed. Returns Written, or the first failure, reported through
// the context's sink; the context's output path and folder are not used.
ConvertResult ConvertPicturesInMemory(const std::vector<PictureInMemory>& pictures,
                                      const std::vector<std::uint32_t>& typeCodes, bool animation,
                                      int delay, const ConversionContext& context,
                                      std::vector<FileInMemory>& files);
