// The front ends' conversion loop: per picture, or one animation that ends where it began.
#include "convert_pictures.h"

#include "output_folder.h"
#include "picture_format.h"
#include "picture_readers.h"
#include "same_file.h"
#include "source_image.h"
#include "system_reason.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace {

// The delays of a GIF's frames in milliseconds (-1 where a frame gives none); a single
// -1 for every other picture, and for a GIF that cannot be read (the writer reports it).
// A GIF that breaks off after complete frames has those frames, and its warning goes to
// `warnings` when given.
std::vector<int> SourceFrameDelays(const std::string& path, const MessageSink* warnings) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes).empty()) {
        return {-1};
    }
    return FrameDelays(bytes, path, warnings);
}

// Refuses, before anything is written, a run of which a picture cannot be opened, naming
// it and the system's reason: a missing folder is the picture's, not the output's. A
// picture that opens but cannot be read is reported by its reader when its turn comes.
bool PicturesOpen(const std::vector<std::string>& pictures, const MessageSink& sink) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    for (const std::string& picture : pictures) {
        ResetSystemError();
        const std::unique_ptr<std::FILE, Closer> file(std::fopen(picture.c_str(), "rb"));
        if (!file) {
            ReportMessage(sink, "ERROR: failed to open file '%s' for reading\n%s", picture.c_str(),
                          ReasonLine(LastSystemError()).c_str());
            return false;
        }
    }
    return true;
}

// Writes the run: one animation, or one file per picture in order, stopping at the first
// that fails.
ConvertResult WriteRun(const std::vector<std::string>& pictures,
                       const std::vector<std::uint32_t>& typeCodes, bool animation, int delay,
                       const ConversionContext& context) {
    if (animation || pictures.empty()) {
        return WriteFrames(AnimationFrames(pictures, delay, context.sourceDelays, &context.sink),
                           typeCodes, context);
    }
    // Each file's progress counts the files before it.
    ConversionContext each = context;
    std::size_t picturesDone = 0;
    if (context.progress) {
        each.progress = [&context, &picturesDone, &pictures](ConversionProgress progress) {
            progress.picturesDone = picturesDone;
            progress.pictures = pictures.size();
            return context.progress(progress);
        };
    }
    std::vector<Frame> one(1);
    for (const std::string& picture : pictures) {
        one[0].path = picture;
        if (const ConvertResult result = WriteFrames(one, typeCodes, each);
            result != ConvertResult::Written) {
            return result;
        }
        ++picturesDone;
    }
    return ConvertResult::Written;
}

// The name part of a path, in lower case: outputs that can be one file share it.
std::string NameKey(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

} // namespace

std::optional<OutputOverPicture> FindOutputOverPicture(const std::vector<std::string>& pictures,
                                                       bool animation,
                                                       const ConversionContext& context) {
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        if (animation && k > 0) {
            break; // one output, named after the first picture
        }
        const std::string output = ChosenOutputPath(pictures[k], context);
        for (const std::string& picture : pictures) {
            const bool sameText = SamePathText(output, picture);
            if (sameText || SameFile(output, picture)) {
                return OutputOverPicture{output, picture, sameText};
            }
        }
    }
    return std::nullopt;
}

std::string OutputOverPictureText(const OutputOverPicture& clash) {
    return "the output '" + clash.output + "' would write over the picture '" + clash.picture + "'";
}

std::optional<OutputClash> FindOutputClash(const std::vector<std::string>& pictures, bool animation,
                                           const ConversionContext& context) {
    if (animation) {
        return std::nullopt; // one output, named after the first picture
    }
    // Only outputs of one name can be one file: each output is compared with the earlier
    // ones of its name, in list order.
    std::map<std::string, std::vector<std::size_t>> earlier;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const std::string output = ChosenOutputPath(pictures[k], context);
        std::vector<std::size_t>& sameName = earlier[NameKey(output)];
        for (const std::size_t i : sameName) {
            const std::string first = ChosenOutputPath(pictures[i], context);
            const bool sameText = SamePathText(first, output);
            if (sameText || SameFile(first, output)) {
                return OutputClash{pictures[i], pictures[k], first, sameText};
            }
        }
        sameName.push_back(k);
    }
    return std::nullopt;
}

std::vector<int> FrameDelays(std::span<const std::uint8_t> bytes, const std::string& name,
                             const MessageSink* warnings) {
    PictureFormat format = PictureFormat::Pnm;
    if (!SignatureFormat(bytes.data(), std::min(bytes.size(), SIGNATURE_BYTES), format) ||
        format != PictureFormat::Gif) {
        return {-1};
    }
    SourceReadOptions options;
    options.allFrames = true;
    const Readout read = ReadPicture(bytes, name, options);
    if (!read.failure.empty()) {
        return {-1};
    }
    if (!read.warning.empty() && warnings != nullptr) {
        ReportMessage(*warnings, "%s", read.warning.c_str());
    }
    std::vector<int> delays;
    for (const SourceImage& frame : read.frames) {
        delays.push_back(frame.delay);
    }
    return delays;
}

std::vector<Frame> AnimationFrames(const std::vector<std::string>& pictures, int delay,
                                   bool sourceDelays, const MessageSink* warnings) {
    std::vector<Frame> frames;
    frames.reserve(pictures.size() + 1);
    for (const std::string& picture : pictures) {
        const std::vector<int> delays = SourceFrameDelays(picture, warnings);
        for (std::size_t index = 0; index < delays.size(); ++index) {
            const int own = std::min(delays[index], MAX_DELAY_MS);
            frames.push_back(
                {picture, sourceDelays && own >= 0 ? own : delay, static_cast<int>(index)});
        }
    }
    if (!frames.empty()) {
        Frame first = frames.front();
        frames.push_back(first);
    }
    return frames;
}

ConvertResult ConvertPictureFiles(const std::vector<std::string>& pictures,
                                  const std::vector<std::uint32_t>& typeCodes, bool animation,
                                  int delay, const ConversionContext& context) {
    if (const auto over = FindOutputOverPicture(pictures, animation, context)) {
        ReportMessage(context.sink, "ERROR: %s\n", OutputOverPictureText(*over).c_str());
        return ConvertResult::OutputIsPicture;
    }
    if (const std::optional<OutputClash> clash = FindOutputClash(pictures, animation, context)) {
        ReportMessage(context.sink, "ERROR: %s\n", OutputClashText(*clash).c_str());
        return ConvertResult::OutputsCollide;
    }
    if (!PicturesOpen(pictures, context.sink)) {
        return ConvertResult::CannotLoadPicture;
    }
    // The folder of --output-dir is made when missing, and taken back when the run leaves
    // nothing in it.
    OutputFolder folder;
    if (context.outputPath.empty() && !context.outputDirectory.empty() && !pictures.empty()) {
        std::error_code error;
        if (!folder.Make(context.outputDirectory, error)) {
            ReportMessage(
                context.sink, "ERROR: failed to open file '%s' for writing\n%s",
                ChosenOutputPath(pictures.front(), context).c_str(),
                ReasonLine(error, "making the folder '" + context.outputDirectory + "'").c_str());
            return ConvertResult::CannotCreateOutput;
        }
    }
    const ConvertResult result = WriteRun(pictures, typeCodes, animation, delay, context);
    if (result != ConvertResult::Written) {
        folder.RemoveIfEmpty();
    }
    return result;
}

std::string OutputClashText(const OutputClash& clash) {
    return "the pictures '" + clash.first + "' and '" + clash.second +
           "' would both be written to '" + clash.output + "'";
}
