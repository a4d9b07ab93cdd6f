// ConversionRequest and RunConversion: everything one conversion run needs (its pictures,
// as files or as bytes in memory; its display targets; the tone, coding and delay
// choices), and the one function that every front end (ztr convert, the converter's
// "&Convert", the web page) hands it to.
#pragma once

#include "convert_images.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A picture of a run: the file `name`, or, when `bytes` is set, a file's bytes held in
// memory, which `name` then only names (in messages, and for its output's name).
struct RequestPicture {
    std::string name;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes{};
    // In an animation, the delay of every frame of this picture, a GIF's too, in place of
    // the request's (the web page's per-picture delays).
    std::optional<int> delay{};
};

// One display type that every picture gets a record sequence for.
struct DisplayTarget {
    std::uint32_t typeCode = 0;
    TypePanel panel{}; // its panel's name, size and background, when its profile gives them
    Palette palette{}; // its profile's palette (empty: none)
    Palette shows{}; // the colours its panel shows for the palette's entries (empty: not measured)
};

struct ConversionRequest {
    std::vector<RequestPicture> pictures;
    std::vector<DisplayTarget> targets;
    // One file of all pictures' frames (then the first frame again), named after the
    // first picture; otherwise one file per picture.
    bool animation = false;
    // The delay of an animation's delta records. Absent: a GIF's frames keep the GIF's own
    // delays, and every other frame gets 0 (DelayOfFrame).
    std::optional<int> delay{};
    ToneOptions tone{};
    // A palette file's bytes in memory: when set, the tone options' palette is this file,
    // and `tone.palette` only names it.
    std::shared_ptr<const std::vector<std::uint8_t>> paletteFile{};
    CodingChoice coding = CodingChoice::RunLength;
    DenseWindow denseWindow = DenseWindow::Bytes512;
    // Where files on disk go: outputPath when set (one file), else the name beside each
    // picture (OutputPathFor) in outputDirectory when set, else beside the picture. Not used
    // for files kept in memory.
    std::string outputPath{};
    std::string outputDirectory{};
};

// A Zentra file written into memory under its name (OutputPathFor of its first picture).
struct FileInMemory {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Where a run's messages, progress and files go.
struct ConversionEnvironment {
    MessageSink sink{};
    // Told of every frame written; false cancels the run (OutcomeCode::Cancelled).
    std::function<bool(const ConversionProgress&)> progress{};
    TemporaryFileNotice temporaryFile{};
    CoderAllocator allocate = AllocateCoderBytes;
    // When set, the files are kept here, in order (also those written before a later one
    // failed), and nothing is written to disk.
    std::vector<FileInMemory>* files = nullptr;
    // Told of every decoding of a picture (each picture is decoded once per run).
    PictureDecodedNotice pictureDecoded{};
    // Told of every shaping of a frame for a display type (types that shape the same way
    // share one).
    std::function<void()> pictureShaped{};
};

// The delay that a frame's delta record carries: the picture's own, else the request's,
// else the GIF's own (`gifDelay`, -1 where the frame gives none; longer ones held to
// MAX_DELAY_MS), else 0. The one place that decides when a GIF keeps its delays.
int DelayOfFrame(const std::optional<int>& pictureDelay, const std::optional<int>& requestDelay,
                 int gifDelay);

// The frames of the request's animation: every picture's frames in order (a GIF's all),
// each with DelayOfFrame's delay, then the first frame once more, so that the last delta
// record leads back to the start and carries the first frame's time. A GIF cut short
// after complete frames gives those frames, with a warning through `warnings` when given.
// The pictures are decoded into `pictures` (the writer takes them from there), or, when it
// is null, decoded for their delays alone.
std::vector<Frame> AnimationFrames(const ConversionRequest& request,
                                   const MessageSink* warnings = nullptr,
                                   DecodedPictures* pictures = nullptr);

// Runs the request: with `animation`, one file of AnimationFrames, named after the first
// picture; without, one file per picture, in order, stopping at the first that fails.
// Before anything is written it refuses outputs that would write over a picture of the
// run (OutputOverPicture), pictures whose outputs would be one file (OutputsCollide) and
// picture files that cannot be opened (CannotOpenForReading, with the system's reason). On
// disk, the folder of outputDirectory is made, with its parents, when it is missing
// (CannotOpenForWriting when that fails), and removed again when the run fails with
// nothing in it. Returns Ok, Cancelled, or the first failure, which has been reported
// through the environment's sink.
Outcome RunConversion(const ConversionRequest& request, const ConversionEnvironment& environment);

// The request's targets and choices as the writer's context (no output path or folder
// when the files are kept in memory).
ConversionContext ContextFor(const ConversionRequest& request,
                             const ConversionEnvironment& environment);
