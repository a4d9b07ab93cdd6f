// Each picture of a conversion file decoded once and kept, uncomposited, for every type.
#include "decoded_pictures.h"

#include "colour_to_grey.h"
#include "file_bytes.h"
#include "picture_readers.h"

DecodedPictures::Entry* DecodedPictures::Find(const std::string& path,
                                              const std::vector<std::uint8_t>* bytes,
                                              bool allFrames) {
    for (const std::unique_ptr<Entry>& entry : entries_) {
        if (entry->path == path && entry->bytes == bytes && (entry->allFrames || !allFrames)) {
            return entry.get();
        }
    }
    return nullptr;
}

SourceReadOptions DecodedPictures::Options(bool allFrames) const {
    SourceReadOptions options;
    options.allFrames = allFrames;
    options.colours = colours_;
    options.keepAlpha = true;
    return options;
}

const SourceImage*
DecodedPictures::Frame(const std::string& path,
                       const std::shared_ptr<const std::vector<std::uint8_t>>& bytes, int index,
                       const MessageSink& sink) {
    const bool allFrames = index > 0;
    Entry* entry = Find(path, bytes.get(), allFrames);
    if (entry == nullptr) {
        if (notice_) {
            notice_(path);
        }
        std::optional<std::vector<SourceImage>> read =
            bytes ? LoadImageFramesFromMemory(*bytes, path, Options(allFrames), sink)
                  : LoadImageFrames(path, Options(allFrames), sink);
        if (!read) {
            return nullptr;
        }
        entries_.push_back(
            std::make_unique<Entry>(Entry{path, bytes.get(), allFrames, std::move(*read)}));
        entry = entries_.back().get();
    }
    if (index < 0 || static_cast<std::size_t>(index) >= entry->frames.size()) {
        ReportOutcome(sink, {.code = OutcomeCode::NoFrame, .file = path, .numbers = {index + 1}});
        return nullptr;
    }
    return &entry->frames[static_cast<std::size_t>(index)];
}

const std::vector<SourceImage>*
DecodedPictures::AllFrames(const std::string& path,
                           const std::shared_ptr<const std::vector<std::uint8_t>>& bytes,
                           const MessageSink* warnings) {
    if (Entry* entry = Find(path, bytes.get(), true)) {
        return &entry->frames;
    }
    std::vector<std::uint8_t> fileBytes;
    if (!bytes && !ReadWholeFile(path, fileBytes).Ok()) {
        return nullptr;
    }
    if (notice_) {
        notice_(path);
    }
    Readout read = ReadPicture(bytes ? std::span<const std::uint8_t>(*bytes)
                                     : std::span<const std::uint8_t>(fileBytes),
                               path, Options(true));
    if (!read.failure.Ok()) {
        return nullptr;
    }
    if (warnings != nullptr) {
        ReportOutcome(*warnings, read.warning);
    }
    entries_.push_back(
        std::make_unique<Entry>(Entry{path, bytes.get(), true, std::move(read.frames)}));
    return &entries_.back()->frames;
}

SourceImage PictureForType(const SourceImage& decoded, std::uint8_t background, bool colours) {
    SourceImage picture{.width = decoded.width,
                        .height = decoded.height,
                        .levels = decoded.levels,
                        .pixels = decoded.pixels,
                        .recordPalette = decoded.recordPalette,
                        .indexed = decoded.indexed,
                        .colourTable = decoded.colourTable,
                        .rgb = colours ? decoded.rgb : std::vector<std::uint8_t>{},
                        .delay = decoded.delay,
                        .alpha = decoded.alpha};
    if (!picture.alpha.empty()) {
        CompositeOverBackground(picture, background);
    }
    return picture;
}
