// LoadImageFrames: picks the source reader by the file's signature, else by its name,
// and hands back every picture top row first. One message reports a failure: where
// the signature names one of the bitmap and PBM/PGM/PPM readers but the name names
// the other, the file failed before signatures were looked at, and it fails with the
// same message now unless the signature's reader can read it.
#include "colour_to_grey.h"
#include "input_file.h"
#include "picture_readers.h"
#include "report_message.h"

#include <cstdarg>
#include <cstdio>

namespace {

bool IsOwnReader(PictureFormat format) {
    return format == PictureFormat::Bitmap || format == PictureFormat::Pnm;
}

Readout ReadAs(const std::string& path, PictureFormat format, const std::uint8_t* head,
               std::size_t headCount, const SourceReadOptions& options) {
    switch (format) {
    case PictureFormat::Pnm:
        return ReadPnmPicture(path, options);
    case PictureFormat::Bitmap:
        if (IsHighColourBitmap(head, headCount)) {
            return ReadStbPicture(path, format, options);
        }
        {
            Readout bitmap = ReadBmpPicture(path);
            for (SourceImage& frame : bitmap.frames) {
                if (!frame.pixels.empty()) {
                    ReverseRows(frame.pixels.data(), static_cast<std::size_t>(frame.width),
                                static_cast<std::size_t>(frame.height));
                }
            }
            return bitmap;
        }
    default:
        return ReadStbPicture(path, format, options);
    }
}

} // namespace

Readout ReadFailure(const char* format, ...) {
    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Readout result;
    result.failure = text;
    return result;
}

std::optional<SourceImage> ReportedFirstFrame(Readout readout, const MessageSink& sink) {
    if (!readout.failure.empty()) {
        ReportMessage(sink, stderr, "%s", readout.failure.c_str());
        return std::nullopt;
    }
    return std::move(readout.frames.front());
}

std::optional<std::vector<SourceImage>> LoadImageFrames(const std::string& path,
                                                        const SourceReadOptions& options,
                                                        const MessageSink& sink) {
    std::uint8_t head[PICTURE_HEAD_BYTES] = {};
    std::size_t headCount = 0;
    {
        InputFile file;
        if (file.Open(path)) {
            headCount = file.Read(head, sizeof head);
        }
    }
    const PictureFormat byName = NameFormat(path);
    PictureFormat format = byName;
    const bool hasSignature = SignatureFormat(head, headCount, format);

    Readout result = ReadAs(path, format, head, headCount, options);
    if (!result.failure.empty() && hasSignature && format != byName && IsOwnReader(format) &&
        IsOwnReader(byName)) {
        result = ReadAs(path, byName, head, headCount, options);
    }
    if (!result.failure.empty()) {
        ReportMessage(sink, stderr, "%s", result.failure.c_str());
        return std::nullopt;
    }
    if (!options.allFrames) {
        result.frames.resize(1);
    }
    if (options.colours) {
        for (SourceImage& frame : result.frames) {
            if (!AddColours(frame)) {
                ReportMessage(sink, stderr, "ERROR: insufficient memory\n");
                return std::nullopt;
            }
        }
    }
    return std::move(result.frames);
}

std::optional<SourceImage> LoadImageFile(const std::string& path, const MessageSink& sink) {
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(path, SourceReadOptions{}, sink);
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}
