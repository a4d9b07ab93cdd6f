// DecodedPictures: the pictures of one conversion file, each decoded once, whatever the
// number of display types it is written for: kept uncomposited with their alpha, so that
// each type composites them over its own background.
#pragma once

#include "report_message.h"
#include "source_image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Told of every decoding of a picture file or picture bytes, by the picture's name.
using PictureDecodedNotice = std::function<void(const std::string& name)>;

class DecodedPictures {
  public:
    // `colours`: keep every picture's colours too (some type needs them).
    DecodedPictures(bool colours, PictureDecodedNotice notice)
        : colours_(colours), notice_(std::move(notice)) {}

    // Frame `index` of the picture (the file `path`, or `bytes` under that name when set),
    // decoded on first use: all its frames when index is above 0, else the first. Null
    // after a failure, reported through `sink` (a missing frame too).
    const SourceImage* Frame(const std::string& path,
                             const std::shared_ptr<const std::vector<std::uint8_t>>& bytes,
                             int index, const MessageSink& sink);

    // Decodes every frame of the picture without reporting a failure, and keeps them: the
    // GIF delays of an animation come from this decoding. Null when it failed; the
    // failure is reported when the writer asks for the frames.
    const std::vector<SourceImage>*
    AllFrames(const std::string& path,
              const std::shared_ptr<const std::vector<std::uint8_t>>& bytes,
              const MessageSink* warnings);

  private:
    struct Entry {
        std::string path;
        const std::vector<std::uint8_t>* bytes = nullptr;
        bool allFrames = false;
        std::vector<SourceImage> frames;
    };
    Entry* Find(const std::string& path, const std::vector<std::uint8_t>* bytes, bool allFrames);
    SourceReadOptions Options(bool allFrames) const;

    bool colours_;
    PictureDecodedNotice notice_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

// The picture as one display type takes it: composited over `background`, with its
// colours only when `colours`.
SourceImage PictureForType(const SourceImage& decoded, std::uint8_t background, bool colours);
