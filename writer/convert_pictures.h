// ConvertPictureList: what both front ends (the converter's "&Convert", ztr convert) do
// with a list of pictures: one file per picture, or one animation of them all.
#pragma once

#include "convert_images.h"

#include <cstdint>
#include <string>
#include <vector>

// The frames of an animation of `pictures`: every picture in order with `delay` (a GIF
// with all its frames, each with its own delay when sourceDelays is set), then the first
// frame once more, so that the last delta frame leads back to the start. A delta record's
// delay is how long the frame it completes stays shown, so the last one carries the
// first frame's time. A GIF cut short after complete frames gives those frames, with a
// warning through `warnings` when given.
std::vector<Frame> AnimationFrames(const std::vector<std::string>& pictures, int delay,
                                   bool sourceDelays = false,
                                   const MessageSink* warnings = nullptr);

// With `animation`, writes one file of AnimationFrames(pictures, delay), named after the
// first picture. Without, writes one file per picture (the delay is not used), in order,
// and stops at the first that fails. Returns Written, or the first failure, which has
// been reported through the context's sink.
ConvertResult ConvertPictureList(const std::vector<std::string>& pictures,
                                 const std::vector<std::uint32_t>& typeCodes, bool animation,
                                 int delay, const ConversionContext& context);
