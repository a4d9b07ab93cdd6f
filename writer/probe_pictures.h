// Probe pictures: a test picture in every lay-out of one size and depth, so that a user
// whose panel shows one of them the right way round reads off the type code it needs.
#pragma once

#include "convert_images.h"
#include "source_image.h"

#include <cstdint>
#include <string>
#include <vector>

// The type codes of every lay-out the writer makes distinct records of at the depth: all
// orders, with and without reversed pixel order and inverted Y axis (16 below depth 8);
// at depth 8 rows and columns with and without inverted Y (4); at depths 16 and 24 also
// the byte order (8). Empty for a depth the writer does not write.
std::vector<std::uint32_t> ProbeTypeCodes(int depth);

// The test picture number `number` at width x height (each side at least 8), on black:
// an arrow pointing up in the middle (red), a right-angled triangle filling the top-left
// corner (green) and the number in white at the bottom right, in a 3 x 5 figure font
// scaled to the size. Its diagonals, steps of one pixel, come out jagged in a wrong
// pixel order; in colour a wrong byte order changes the colours, never the white.
SourceImage ProbePicture(int width, int height, int number);

// Writes one file to context.outputPath: for every code of ProbeTypeCodes(depth), in
// order, the picture numbered by its record as a full frame. Failures are reported
// through the context's sink, as WriteSequences reports them.
Outcome WriteProbeFile(int width, int height, int depth, const ConversionContext& context);
