// Choosing a source picture's reader: by the signature in its first bytes, else by the
// extension of its name (the text from the last "." on).
#include "picture_format.h"

#include <cctype>
#include <cstring>

namespace {

bool StartsWith(const std::uint8_t* head, std::size_t count, const char* signature,
                std::size_t length) {
    return count >= length && std::memcmp(head, signature, length) == 0;
}

bool ExtensionIs(const std::string& path, const char* extension) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != std::strlen(extension)) {
        return false;
    }
    for (std::size_t i = dot; i < path.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != extension[i - dot]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SignatureFormat(const std::uint8_t* head, std::size_t count, PictureFormat& format) {
    if (StartsWith(head, count, "BM", 2)) {
        format = PictureFormat::Bitmap;
    } else if (count >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6') {
        format = PictureFormat::Pnm;
    } else if (StartsWith(head, count, "\x89PNG\r\n\x1A\n", 8)) {
        format = PictureFormat::Png;
    } else if (StartsWith(head, count, "GIF87a", 6) || StartsWith(head, count, "GIF89a", 6)) {
        format = PictureFormat::Gif;
    } else if (StartsWith(head, count, "\xFF\xD8\xFF", 3)) {
        format = PictureFormat::Jpeg;
    } else {
        return false;
    }
    return true;
}

PictureFormat NameFormat(const std::string& path) {
    if (ExtensionIs(path, ".bmp")) {
        return PictureFormat::Bitmap;
    }
    if (ExtensionIs(path, ".tga")) {
        return PictureFormat::Tga;
    }
    return PictureFormat::Pnm;
}

bool HasPnmName(const std::string& path) {
    return ExtensionIs(path, ".pbm") || ExtensionIs(path, ".pgm") || ExtensionIs(path, ".ppm") ||
           ExtensionIs(path, ".pnm");
}

PictureFormat ChoosePictureFormat(const std::string& path, const std::uint8_t* head,
                                  std::size_t count) {
    PictureFormat format = PictureFormat::Pnm;
    if (SignatureFormat(head, count, format)) {
        return format;
    }
    return NameFormat(path);
}
