// The front ends' conversion loop: per picture, or one animation that ends where it began.
#include "convert_pictures.h"

#include "input_file.h"
#include "picture_format.h"
#include "source_image.h"

#include <algorithm>

namespace {

// The delays of a GIF's frames in milliseconds (-1 where a frame gives none); a single
// -1 for every other picture, and for a GIF that cannot be read (the writer reports it).
std::vector<int> SourceFrameDelays(const std::string& path) {
    std::uint8_t head[SIGNATURE_BYTES] = {};
    std::size_t count = 0;
    {
        InputFile file;
        if (file.Open(path)) {
            count = file.Read(head, sizeof head);
        }
    }
    PictureFormat format = PictureFormat::Pnm;
    if (!SignatureFormat(head, count, format) || format != PictureFormat::Gif) {
        return {-1};
    }
    SourceReadOptions options;
    options.allFrames = true;
    const std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(path, options, MessageSink{[](void*, const char*) {}, nullptr});
    if (!frames) {
        return {-1};
    }
    std::vector<int> delays;
    for (const SourceImage& frame : *frames) {
        delays.push_back(frame.delay);
    }
    return delays;
}

} // namespace

std::vector<Frame> AnimationFrames(const std::vector<std::string>& pictures, int delay,
                                   bool sourceDelays) {
    std::vector<Frame> frames;
    frames.reserve(pictures.size() + 1);
    for (const std::string& picture : pictures) {
        const std::vector<int> delays = SourceFrameDelays(picture);
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

ConvertResult ConvertPictureList(const std::vector<std::string>& pictures,
                                 const std::vector<std::uint32_t>& typeCodes, bool animation,
                                 int delay, const ConversionContext& context) {
    if (animation || pictures.empty()) {
        return WriteFrames(AnimationFrames(pictures, delay, context.sourceDelays), typeCodes,
                           context);
    }
    std::vector<Frame> one(1);
    for (const std::string& picture : pictures) {
        one[0].path = picture;
        if (const ConvertResult result = WriteFrames(one, typeCodes, context);
            result != ConvertResult::Written) {
            return result;
        }
    }
    return ConvertResult::Written;
}
