// ConvertPictureFiles: what both front ends (the converter's "&Convert", ztr convert) do
// with a list of pictures: one file per picture, or one animation of them all.
#pragma once

#include "convert_images.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The frames of an animation of `pictures`: every picture in order with `delay` (a GIF
// with all its frames, each with its own delay when sourceDelays is set), then the first
// frame once more, so that the last delta frame leads back to the start. A delta record's
// delay is how long the frame it completes stays shown, so the last one carries the
// first frame's time. A GIF cut short after complete frames gives those frames, with a
// warning through `warnings` when given.
// The delays of a picture's frames in milliseconds (-1 where a frame gives none): a GIF's
// own, a single -1 for every other picture and for a GIF that cannot be read (the writer
// reports it). A GIF that breaks off after complete frames has those frames, and its
// warning goes to `warnings` when given.
std::vector<int> FrameDelays(std::span<const std::uint8_t> bytes, const std::string& name,
                             const MessageSink* warnings);

std::vector<Frame> AnimationFrames(const std::vector<std::string>& pictures, int delay,
                                   bool sourceDelays = false,
                                   const MessageSink* warnings = nullptr);

// With `animation`, writes one file of AnimationFrames(pictures, delay), named after the
// first picture. Without, writes one file per picture (the delay is not used), in order,
// and stops at the first that fails. Before anything is written it refuses outputs that
// would write over a picture of the run (OutputIsPicture), pictures whose outputs would
// be one file (OutputsCollide) and pictures that cannot be opened (CannotLoadPicture, the
// system's reason on the line after the message). The folder of the context's
// outputDirectory is made, with its parents, when it is missing (CannotCreateOutput when
// that fails), and removed again when the run fails with nothing in it. Returns Written,
// or the first failure, which has been reported through the context's sink.
ConvertResult ConvertPictureFiles(const std::vector<std::string>& pictures,
                                  const std::vector<std::uint32_t>& typeCodes, bool animation,
                                  int delay, const ConversionContext& context);

// An output of a run that would write over one of the run's pictures.
struct OutputOverPicture {
    std::string output;
    std::string picture;
    bool sameText = false; // the paths alone show it, without asking the file system
};

// The first output (of the one file of an animation, or of each picture in order) that
// would write over a picture of the run, or nothing.
std::optional<OutputOverPicture> FindOutputOverPicture(const std::vector<std::string>& pictures,
                                                       bool animation,
                                                       const ConversionContext& context);

// "the output 'OUT' would write over the picture 'P'"
std::string OutputOverPictureText(const OutputOverPicture& clash);

// Two pictures of one run whose outputs would be one file, the second replacing the first.
struct OutputClash {
    std::string first;     // the earlier picture on the list
    std::string second;    // the later one
    std::string output;    // the file both would write (the first picture's output path)
    bool sameText = false; // the paths alone show it, without asking the file system
};

// The first such pair of a conversion without `animation` (the one whose later picture
// comes first in the list), or nothing.
// ConvertPictureFiles refuses a run that has one before it writes anything.
std::optional<OutputClash> FindOutputClash(const std::vector<std::string>& pictures, bool animation,
                                           const ConversionContext& context);

// "the pictures 'A' and 'B' would both be written to 'OUT'"
std::string OutputClashText(const OutputClash& clash);
