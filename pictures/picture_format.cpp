// Choosing a source picture's reader: by the signature in its first bytes, else by the
// kind of file its name tells (picture_file_kinds.h).
#include "picture_format.h"

#include "picture_file_kinds.h"

#include <cstring>

namespace {

bool StartsWith(const std::uint8_t* head, std::size_t count, const char* signature,
                std::size_t length) {
    return count >= length && std::memcmp(head, signature, length) == 0;
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
    const PictureFileKind* kind = PictureFileKindOf(path);
    return kind != nullptr && kind->chosenByName ? kind->format : PictureFormat::Pnm;
}

bool HasPnmName(const std::string& path) {
    const PictureFileKind* kind = PictureFileKindOf(path);
    return kind != nullptr && kind->format == PictureFormat::Pnm;
}

PictureFormat ChoosePictureFormat(const std::string& path, const std::uint8_t* head,
                                  std::size_t count) {
    PictureFormat format = PictureFormat::Pnm;
    if (SignatureFormat(head, count, format)) {
        return format;
    }
    return NameFormat(path);
}
