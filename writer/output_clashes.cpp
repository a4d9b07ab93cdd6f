// Outputs over pictures and outputs shared by two pictures, found from the names first
// and, for files on disk, from the file system.
#include "output_clashes.h"

#include "same_file.h"

#include <map>
#include <vector>

namespace {

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

// Whether writing `first` would write `second`: by the text, or on disk by the file system.
bool SameOutput(const std::string& first, const std::string& second, bool onDisk, bool& sameText) {
    sameText = SamePathText(first, second);
    return sameText || (onDisk && SameFile(first, second));
}

} // namespace

std::string RequestOutputPath(const ConversionRequest& request, const std::string& picture,
                              bool onDisk) {
    if (!onDisk) {
        return OutputPathFor(picture);
    }
    ConversionContext places;
    places.outputPath = request.outputPath;
    places.outputDirectory = request.outputDirectory;
    return ChosenOutputPath(picture, places);
}

std::optional<OutputOverPicture> FindOutputOverPicture(const ConversionRequest& request,
                                                       bool onDisk) {
    const std::vector<RequestPicture>& pictures = request.pictures;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        if (request.animation && k > 0) {
            break; // one output, named after the first picture
        }
        const std::string output = RequestOutputPath(request, pictures[k].name, onDisk);
        for (const RequestPicture& picture : pictures) {
            bool sameText = false;
            if (SameOutput(output, picture.name, onDisk, sameText)) {
                return OutputOverPicture{output, picture.name, sameText};
            }
        }
    }
    return std::nullopt;
}

std::string OutputOverPictureText(const OutputOverPicture& clash) {
    return "the output '" + clash.output + "' would write over the picture '" + clash.picture + "'";
}

std::optional<OutputClash> FindOutputClash(const ConversionRequest& request, bool onDisk) {
    if (request.animation) {
        return std::nullopt; // one output, named after the first picture
    }
    // Only outputs of one name can be one file: each output is compared with the earlier
    // ones of its name, in list order.
    const std::vector<RequestPicture>& pictures = request.pictures;
    std::map<std::string, std::vector<std::size_t>> earlier;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const std::string output = RequestOutputPath(request, pictures[k].name, onDisk);
        std::vector<std::size_t>& sameName = earlier[NameKey(output)];
        for (const std::size_t i : sameName) {
            const std::string first = RequestOutputPath(request, pictures[i].name, onDisk);
            bool sameText = false;
            if (SameOutput(first, output, onDisk, sameText)) {
                return OutputClash{pictures[i].name, pictures[k].name, first, sameText};
            }
        }
        sameName.push_back(k);
    }
    return std::nullopt;
}

std::string OutputClashText(const OutputClash& clash) {
    return "the pictures '" + clash.first + "' and '" + clash.second +
           "' would both be written to '" + clash.output + "'";
}
