// The conversion run behind every front end: the checks made before anything is written,
// then one file per picture or one animation that ends where it began, on disk or in
// memory.
#include "conversion_request.h"

#include "output_clashes.h"
#include "output_folder.h"
#include "picture_readers.h"
#include "source_image.h"
#include "system_reason.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// The delays of a picture's frames in milliseconds (-1 where a frame gives none), from its
// decoding kept in `pictures`: a GIF's own, a single -1 for every other picture and for
// one that cannot be read (the writer reports it). A GIF that breaks off after complete
// frames has those frames, and its warning goes to `warnings` when given.
std::vector<int> FrameDelays(const RequestPicture& picture, const MessageSink* warnings,
                             DecodedPictures& pictures) {
    const std::vector<SourceImage>* frames =
        pictures.AllFrames(picture.name, picture.bytes, warnings);
    if (frames == nullptr || frames->empty()) {
        return {-1};
    }
    std::vector<int> delays;
    for (const SourceImage& frame : *frames) {
        delays.push_back(frame.delay);
    }
    return delays;
}

// Refuses, before anything is written, a run of which a picture file cannot be opened,
// naming it and the system's reason: a missing folder is the picture's, not the output's.
// A picture that opens but cannot be read is reported by its reader when its turn comes.
Outcome PicturesOpen(const std::vector<RequestPicture>& pictures, const MessageSink& sink) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    for (const RequestPicture& picture : pictures) {
        if (picture.bytes) {
            continue;
        }
        ResetSystemError();
        const std::unique_ptr<std::FILE, Closer> file(std::fopen(picture.name.c_str(), "rb"));
        if (!file) {
            const Outcome failure{.code = OutcomeCode::CannotOpenForReading,
                                  .file = picture.name,
                                  .reason = LastSystemError()};
            ReportOutcome(sink, failure);
            return failure;
        }
    }
    return {};
}

// Writes one file of the frames: on disk, or kept in the environment's list.
Outcome WriteOneFile(const std::vector<Frame>& frames, const std::vector<std::uint32_t>& typeCodes,
                     const ConversionContext& context, const ConversionEnvironment& environment) {
    if (environment.files == nullptr) {
        return WriteFrames(frames, typeCodes, context);
    }
    FileInMemory file;
    Outcome result =
        WriteSequencesToMemory(FrameSequences(frames, typeCodes, context), context, file.bytes);
    if (result.Ok()) {
        file.name = ChosenOutputPath(frames.front().path, context);
        environment.files->push_back(std::move(file));
    }
    return result;
}

// Writes the run: one animation, or one file per picture in order, stopping at the first
// that fails.
Outcome WriteRun(const ConversionRequest& request, const ConversionEnvironment& environment,
                 const ConversionContext& context) {
    std::vector<std::uint32_t> typeCodes;
    for (const DisplayTarget& target : request.targets) {
        typeCodes.push_back(target.typeCode);
    }
    if (request.animation || request.pictures.empty()) {
        // The GIF delays come from the decoding that the writer then takes its frames from.
        DecodedPictures pictures(NeedsColours(typeCodes, context), context.pictureDecoded);
        ConversionContext shared = context;
        shared.pictures = &pictures;
        return WriteOneFile(AnimationFrames(request, &context.sink, &pictures), typeCodes, shared,
                            environment);
    }
    // Each file's progress counts the files before it.
    ConversionContext each = context;
    std::size_t picturesDone = 0;
    const std::size_t pictures = request.pictures.size();
    if (context.progress) {
        each.progress = [&context, &picturesDone, pictures](ConversionProgress progress) {
            progress.picturesDone = picturesDone;
            progress.pictures = pictures;
            return context.progress(progress);
        };
    }
    std::vector<Frame> one(1);
    for (const RequestPicture& picture : request.pictures) {
        one[0].path = picture.name;
        one[0].bytes = picture.bytes;
        if (Outcome result = WriteOneFile(one, typeCodes, each, environment); !result.Ok()) {
            return result;
        }
        ++picturesDone;
    }
    return {};
}

} // namespace

int DelayOfFrame(const std::optional<int>& pictureDelay, const std::optional<int>& requestDelay,
                 int gifDelay) {
    if (pictureDelay) {
        return *pictureDelay;
    }
    if (requestDelay) {
        return *requestDelay;
    }
    return gifDelay >= 0 ? std::min(gifDelay, MAX_DELAY_MS) : 0;
}

std::vector<Frame> AnimationFrames(const ConversionRequest& request, const MessageSink* warnings,
                                   DecodedPictures* pictures) {
    DecodedPictures delaysOnly(false, {});
    DecodedPictures& decoded = pictures != nullptr ? *pictures : delaysOnly;
    std::vector<Frame> frames;
    frames.reserve(request.pictures.size() + 1);
    for (const RequestPicture& picture : request.pictures) {
        const std::vector<int> delays = FrameDelays(picture, warnings, decoded);
        for (std::size_t index = 0; index < delays.size(); ++index) {
            Frame frame;
            frame.path = picture.name;
            frame.delay = DelayOfFrame(picture.delay, request.delay, delays[index]);
            frame.index = static_cast<int>(index);
            frame.bytes = picture.bytes;
            frames.push_back(std::move(frame));
        }
    }
    if (!frames.empty()) {
        Frame first = frames.front();
        frames.push_back(std::move(first));
    }
    return frames;
}

ConversionContext ContextFor(const ConversionRequest& request,
                             const ConversionEnvironment& environment) {
    // Files kept in memory take their names only for messages: no output folder counts.
    const bool onDisk = environment.files == nullptr;
    ConversionContext context{.sink = environment.sink,
                              .allocate = environment.allocate,
                              .tone = request.tone,
                              .coding = request.coding,
                              .denseWindow = request.denseWindow,
                              .outputPath = onDisk ? request.outputPath : std::string(),
                              .outputDirectory = onDisk ? request.outputDirectory : std::string(),
                              .progress = environment.progress,
                              .temporaryFile = environment.temporaryFile,
                              .paletteFile = request.paletteFile,
                              .pictureDecoded = environment.pictureDecoded,
                              .pictureShaped = environment.pictureShaped};
    for (const DisplayTarget& target : request.targets) {
        context.panels.push_back(target.panel);
        context.typePalettes.push_back(target.palette);
        context.typeShows.push_back(target.shows);
    }
    return context;
}

Outcome RunConversion(const ConversionRequest& request, const ConversionEnvironment& environment) {
    const bool onDisk = environment.files == nullptr;
    Outcome refused;
    if (const auto over = FindOutputOverPicture(request, onDisk)) {
        refused = {.code = OutcomeCode::OutputOverPicture,
                   .file = over->output,
                   .words = {OutputOverPictureText(*over), over->picture}};
    } else if (const std::optional<OutputClash> clash = FindOutputClash(request, onDisk)) {
        refused = {.code = OutcomeCode::OutputsCollide,
                   .file = clash->output,
                   .words = {OutputClashText(*clash), clash->first, clash->second}};
    }
    if (!refused.Ok()) {
        ReportOutcome(environment.sink, refused);
        return refused;
    }
    if (Outcome open = PicturesOpen(request.pictures, environment.sink); !open.Ok()) {
        return open;
    }
    const ConversionContext context = ContextFor(request, environment);
    // The folder of --output-dir is made when missing, and taken back when the run leaves
    // nothing in it.
    OutputFolder folder;
    if (onDisk && request.outputPath.empty() && !request.outputDirectory.empty() &&
        !request.pictures.empty()) {
        std::error_code error;
        if (!folder.Make(request.outputDirectory, error)) {
            const Outcome failure{.code = OutcomeCode::CannotOpenForWriting,
                                  .file = ChosenOutputPath(request.pictures.front().name, context),
                                  .reason = error,
                                  .doing = "making the folder '" + request.outputDirectory + "'"};
            ReportOutcome(environment.sink, failure);
            return failure;
        }
    }
    Outcome result = WriteRun(request, environment, context);
    if (!result.Ok()) {
        folder.RemoveIfEmpty();
    }
    return result;
}
