// The checks made before a run writes anything: no output written over one of the run's
// pictures, and no two pictures of the run writing one file.
#pragma once

#include "conversion_request.h"

#include <optional>
#include <string>

// An output of a run that would write over one of the run's pictures.
struct OutputOverPicture {
    std::string output;
    std::string picture;
    bool sameText = false; // the paths alone show it, without asking the file system
};

// The first output (of the one file of an animation, or of each picture in order) that
// would write over a picture of the request. With `onDisk` the outputs are the request's
// chosen paths and the file system is asked too; without, the outputs are named beside
// the pictures' names (files kept in memory) and only the names are compared.
std::optional<OutputOverPicture> FindOutputOverPicture(const ConversionRequest& request,
                                                       bool onDisk);

// "the output 'OUT' would write over the picture 'P'"
std::string OutputOverPictureText(const OutputOverPicture& clash);

// Two pictures of one run whose outputs would be one file, the second replacing the first.
struct OutputClash {
    std::string first;     // the earlier picture on the list
    std::string second;    // the later one
    std::string output;    // the file both would write (the first picture's output path)
    bool sameText = false; // the paths alone show it, without asking the file system
};

// The first such pair of a request without `animation` (the one whose later picture comes
// first in the list), or nothing; `onDisk` as for FindOutputOverPicture.
std::optional<OutputClash> FindOutputClash(const ConversionRequest& request, bool onDisk);

// "the pictures 'A' and 'B' would both be written to 'OUT'"
std::string OutputClashText(const OutputClash& clash);

// The output of a run named after `picture` (OutputPathFor, or the request's choice on
// disk).
std::string RequestOutputPath(const ConversionRequest& request, const std::string& picture,
                              bool onDisk);
