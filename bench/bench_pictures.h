// Synthetic source pictures for the benchmarks: one byte per pixel, top row first, as
// the readers deliver them. Deterministic, so that every run measures the same work.
#pragma once

#include <cstdint>
#include <vector>

struct BenchPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width x height grey levels
};

// A smooth shaded surface with fine noise, like a photo: neighbouring 1-bit pixels and
// 8-bit values change often, so the run-length coder finds few runs.
BenchPicture PhotoPicture(int width, int height);

// A white picture with a few solid black shapes, like a logo or user interface: long
// runs in every pixel order.
BenchPicture FlatPicture(int width, int height);

// Frame `frame` of an animation: a fixed shaded background with a dark disc of radius
// 24 that moves along a diagonal path, a few pixels per frame, to its end in 100 frames
// and back in the next 100.
BenchPicture MovingShapeFrame(int width, int height, int frame);
