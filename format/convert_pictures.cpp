// The front ends' conversion loop: per picture, or one animation that ends where it began.
#include "convert_pictures.h"

std::vector<Frame> AnimationFrames(const std::vector<std::string>& pictures, int delay) {
    std::vector<Frame> frames;
    frames.reserve(pictures.size() + 1);
    for (const std::string& picture : pictures) {
        frames.push_back({picture, delay});
    }
    if (!pictures.empty()) {
        frames.push_back({pictures.front(), delay});
    }
    return frames;
}

ConvertResult ConvertPictureList(const std::vector<std::string>& pictures,
                                 const std::vector<std::uint32_t>& typeCodes, bool animation,
                                 int delay, const ConversionContext& context) {
    if (animation || pictures.empty()) {
        return WriteFrames(AnimationFrames(pictures, delay), typeCodes, context);
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
