// Converting pictures held in memory into Zentra files held in memory, by the same frames,
// checks and sequence writer as the conversion of files on disk.
#include "convert_in_memory.h"

#include "convert_pictures.h"
#include "picture_format.h"
#include "same_file.h"
#include "source_image.h"

#include <algorithm>

namespace {

// The frames of an animation of the pictures, as AnimationFrames makes them from files,
// each picture's own delay taking the place of the common one.
std::vector<Frame> MemoryAnimationFrames(const std::vector<PictureInMemory>& pictures, int delay,
                                         bool sourceDelays, const MessageSink& warnings) {
    std::vector<Frame> frames;
    for (const PictureInMemory& picture : pictures) {
        const std::vector<int> delays = FrameDelays(*picture.bytes, picture.name, &warnings);
        for (std::size_t index = 0; index < delays.size(); ++index) {
            const int source = std::min(delays[index], MAX_DELAY_MS);
            Frame frame;
            frame.path = picture.name;
            frame.delay = sourceDelays && source >= 0 ? source : delay;
            if (picture.delay >= 0) {
                frame.delay = picture.delay;
            }
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

// Writes one file of the frames and keeps it; false after a failure, already reported.
ConvertResult WriteOne(const std::vector<Frame>& frames,
                       const std::vector<std::uint32_t>& typeCodes,
                       const ConversionContext& context, std::vector<FileInMemory>& files) {
    FileInMemory file;
    const ConvertResult result =
        WriteSequencesToMemory(FrameSequences(frames, typeCodes, context), context, file.bytes);
    if (result == ConvertResult::Written) {
        file.name = ChosenOutputPath(frames.front().path, context);
        files.push_back(std::move(file));
    }
    return result;
}

} // namespace

ConvertResult ConvertPicturesInMemory(const std::vector<PictureInMemory>& pictures,
                                      const std::vector<std::uint32_t>& typeCodes, bool animation,
                                      int delay, const ConversionContext& context,
                                      std::vector<FileInMemory>& files) {
    ConversionContext named = context;
    named.outputPath.clear();
    named.outputDirectory.clear();
    std::vector<std::string> names;
    for (const PictureInMemory& picture : pictures) {
        names.push_back(picture.name);
    }
    for (std::size_t k = 0; k < names.size() && !(animation && k > 0); ++k) {
        const std::string output = OutputPathFor(names[k]);
        for (const std::string& name : names) {
            if (SamePathText(output, name)) {
                ReportMessage(context.sink, "ERROR: %s\n",
                              OutputOverPictureText({output, name, true}).c_str());
                return ConvertResult::OutputIsPicture;
            }
        }
    }
    if (const std::optional<OutputClash> clash = FindOutputClash(names, animation, named)) {
        ReportMessage(context.sink, "ERROR: %s\n", OutputClashText(*clash).c_str());
        return ConvertResult::OutputsCollide;
    }
    if (animation || pictures.empty()) {
        return WriteOne(MemoryAnimationFrames(pictures, delay, context.sourceDelays, context.sink),
                        typeCodes, named, files);
    }
    // Each file's progress counts the files before it.
    std::size_t picturesDone = 0;
    if (context.progress) {
        named.progress = [&context, &picturesDone, &pictures](ConversionProgress progress) {
            progress.picturesDone = picturesDone;
            progress.pictures = pictures.size();
            return context.progress(progress);
        };
    }
    std::vector<Frame> one(1);
    for (const PictureInMemory& picture : pictures) {
        one[0].path = picture.name;
        one[0].bytes = picture.bytes;
        if (const ConvertResult result = WriteOne(one, typeCodes, named, files);
            result != ConvertResult::Written) {
            return result;
        }
        ++picturesDone;
    }
    return ConvertResult::Written;
}
