// Looking up the picture file kinds by a file's name, and their extensions as one list.
#include "picture_file_kinds.h"

#include <cctype>

namespace {

bool SameLowerCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

const PictureFileKind* PictureFileKindOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return nullptr;
    }
    const std::string_view extension = std::string_view(path).substr(dot);
    for (const PictureFileKind& kind : PICTURE_FILE_KINDS) {
        for (std::string_view known : kind.extensions) {
            if (!known.empty() && SameLowerCase(extension, known)) {
                return &kind;
            }
        }
    }
    return nullptr;
}

std::string PictureExtensionList(const char* before, const char* separator) {
    std::string list;
    for (const PictureFileKind& kind : PICTURE_FILE_KINDS) {
        for (std::string_view extension : kind.extensions) {
            if (!extension.empty()) {
                list +=
                    (list.empty() ? "" : separator) + std::string(before) + std::string(extension);
            }
        }
    }
    return list;
}
