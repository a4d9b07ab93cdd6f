// LoadImageFile: picks the source reader by the path's extension, the text from its
// last "." on, and hands back every picture top row first.
#include "source_image.h"

#include <cctype>

namespace {

bool IsBitmapExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string extension = path.substr(dot);
    const char* const bitmap = ".bmp";
    if (extension.size() != 4) {
        return false;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::tolower(static_cast<unsigned char>(extension[i])) != bitmap[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<SourceImage> LoadImageFile(const std::string& path, const MessageSink& sink) {
    if (!IsBitmapExtension(path)) {
        return ReadPnmImage(path, sink);
    }
    std::optional<SourceImage> image = ReadBmpImage(path, sink);
    if (image && !image->pixels.empty()) {
        ReverseRows(image->pixels.data(), static_cast<std::size_t>(image->width),
                    static_cast<std::size_t>(image->height));
    }
    return image;
}
