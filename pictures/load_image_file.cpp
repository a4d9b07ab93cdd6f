// LoadImageFrames: picks the source reader by the bytes' signature, else by the file's
// name, and hands back every picture top row first. One message reports a failure; where
// no signature chose the reader, a refusal says what the file is when its first bytes
// tell (another picture format, a document), or that it is no picture ztr reads.
#include "colour_to_grey.h"
#include "file_bytes.h"
#include "foreign_format.h"
#include "picture_readers.h"
#include "read_failure.h"
#include "report_message.h"
#include "rgba_frames.h"

#include <algorithm>
#include <cstdio>

namespace {

// Bitmaps come bottom row first; the rest of the engine takes them top row first.
void TurnTopRowFirst(Readout& bitmap) {
    for (SourceImage& frame : bitmap.frames) {
        if (frame.pixels.empty()) {
            continue;
        }
        const auto width = static_cast<std::size_t>(frame.width);
        const auto height = static_cast<std::size_t>(frame.height);
        ReverseRows(frame.pixels.data(), width, height);
        if (!frame.rgb.empty()) {
            ReverseRows(frame.rgb.data(), 3 * width, height);
        }
        if (!frame.alpha.empty()) {
            ReverseRows(frame.alpha.data(), width, height);
        }
    }
}

Readout ReadAs(PictureBytes bytes, const std::string& name, PictureFormat format,
               const SourceReadOptions& options) {
    switch (format) {
    case PictureFormat::Pnm:
        return ReadPnmPicture(bytes, name, options);
    case PictureFormat::Bitmap: {
        Readout bitmap = ReadBmpPicture(bytes, name, options);
        TurnTopRowFirst(bitmap);
        return bitmap;
    }
    case PictureFormat::Png:
        return ReadPngPicture(bytes, name, options);
    case PictureFormat::Gif:
        return ReadGifPicture(bytes, name, options);
    case PictureFormat::Jpeg:
        return ReadJpegPicture(bytes, name, options);
    case PictureFormat::Tga:
        return ReadTgaPicture(bytes, name, options);
    }
    return UnsupportedBitmap(name, OutcomeDetail::NoReader);
}

} // namespace

std::optional<SourceImage> ReportedFirstFrame(Readout readout, const MessageSink& sink) {
    if (!readout.failure.Ok()) {
        ReportOutcome(sink, readout.failure);
        return std::nullopt;
    }
    return std::move(readout.frames.front());
}

namespace {

// The message for a file that the reader chosen by its name refused: what the file is,
// when its first bytes tell; that it is no picture at all, when the PBM/PGM/PPM reader
// found no header in a file not named as one; else the reader's own message.
Readout RefusalByName(PictureBytes bytes, const std::string& name, PictureFormat format,
                      Readout refused) {
    if (refused.failure.code == OutcomeCode::OutOfMemory) {
        return refused;
    }
    if (const std::optional<std::string> what = ForeignFormat(bytes)) {
        refused.failure = ForeignFormatOutcome(name, *what);
    } else if (format == PictureFormat::Pnm && !HasPnmName(name)) {
        // The first line stays the one the reader chose; the detail says what is wrong.
        if (refused.failure == NotPnmHeader(name).failure ||
            refused.failure == NoPnmHeader(name).failure) {
            refused.failure.detail = OutcomeDetail::NotReadPicture;
            refused.failure.words = {READ_FORMATS};
        }
    }
    return refused;
}

} // namespace

Readout ReadPicture(PictureBytes bytes, const std::string& name, const SourceReadOptions& options) {
    if (bytes.empty()) {
        return NameFormat(name) == PictureFormat::Bitmap
                   ? UnsupportedBitmap(name, OutcomeDetail::EmptyFile)
                   : Refused(OutcomeCode::WrongImageType, name, OutcomeDetail::EmptyFile);
    }
    const std::size_t headCount = std::min(bytes.size(), PICTURE_HEAD_BYTES);
    PictureFormat format = NameFormat(name);
    const bool hasSignature = SignatureFormat(bytes.data(), headCount, format);

    Readout result = ReadAs(bytes, name, format, options);
    if (!result.failure.Ok()) {
        return hasSignature ? result : RefusalByName(bytes, name, format, std::move(result));
    }
    if (!options.allFrames) {
        result.frames.resize(1);
    }
    // An opaque frame needs no compositing: it keeps no alpha.
    for (SourceImage& frame : result.frames) {
        if (std::all_of(frame.alpha.begin(), frame.alpha.end(),
                        [](std::uint8_t alpha) { return alpha == 255; })) {
            std::vector<std::uint8_t>().swap(frame.alpha);
        }
    }
    if (options.colours) {
        for (SourceImage& frame : result.frames) {
            if (!AddColours(frame)) {
                return NoMemory();
            }
        }
    }
    return result;
}

std::optional<std::vector<SourceImage>>
LoadImageFramesFromMemory(std::span<const std::uint8_t> bytes, const std::string& name,
                          const SourceReadOptions& options, const MessageSink& sink) {
    Readout result = ReadPicture(bytes, name, options);
    if (!result.failure.Ok()) {
        ReportOutcome(sink, result.failure);
        return std::nullopt;
    }
    return std::move(result.frames);
}

std::optional<std::vector<SourceImage>> LoadImageFrames(const std::string& path,
                                                        const SourceReadOptions& options,
                                                        const MessageSink& sink) {
    std::vector<std::uint8_t> bytes;
    if (const Outcome read = ReadWholeFile(path, bytes); !read.Ok()) {
        ReportOutcome(sink, read);
        return std::nullopt;
    }
    return LoadImageFramesFromMemory(bytes, path, options, sink);
}

std::optional<SourceImage> LoadImageFile(const std::string& path, const MessageSink& sink) {
    std::optional<std::vector<SourceImage>> frames =
        LoadImageFrames(path, SourceReadOptions{}, sink);
    if (!frames) {
        return std::nullopt;
    }
    return std::move(frames->front());
}
