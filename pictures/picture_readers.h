// The readers behind LoadImageFrames. Each takes a picture file's bytes and its name (for
// messages) and gives its frames or the one message that says why there are none, without
// reporting it: the loader decides which reader's message the user sees and reports it once.
#pragma once

#include "outcome.h"
#include "picture_format.h"
#include "source_image.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct Readout {
    std::vector<SourceImage> frames; // top row first (bitmaps: bottom row first)
    Outcome failure{};               // why there are no frames; Done on success
    // True when the picture broke off (a GIF cut short or damaged after complete frames):
    // the frames are the complete ones read before the break. False when the reading
    // ended where the file says it ends, or stopped after the frames that were asked for.
    bool cut = false;
    // For a picture that broke off, the warning that names the file, how it broke off and
    // how many frames were read (CutShort or Damaged); Done otherwise. Nothing reports it
    // but the caller that counts the frames.
    Outcome warning{};
};

// The first frame, or nothing after the failure has been reported.
std::optional<SourceImage> ReportedFirstFrame(Readout readout, const MessageSink& sink);

// Every byte of a picture file into bytes; why it cannot be read, else Done.
Outcome ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

using PictureBytes = std::span<const std::uint8_t>;

// A reader of one picture format: the bytes of a file called `name` read as the options
// ask. Every reader below is declared by this type.
using PictureReader = Readout(PictureBytes bytes, const std::string& name,
                              const SourceReadOptions& options);

// PPM colours go to rgb only when the options ask for them.
PictureReader ReadPnmPicture;
// 1-, 4- and 8-bit bitmaps as scaled colour-table indices with their table; 16-, 24- and
// 32-bit ones (uncompressed or with bit fields) as grey levels and, when the options ask
// for them, colours. Rows bottom row first.
PictureReader ReadBmpPicture;

// Colour pictures: grey levels over the options' background and, when asked, colours.
// Every frame of a GIF when the options ask for all frames, else the first.
PictureReader ReadPngPicture;
PictureReader ReadGifPicture;
PictureReader ReadJpegPicture;
PictureReader ReadTgaPicture;

// The reader that LoadImageFrames runs for these bytes: chosen by their signature, else by
// the name, every picture turned top row first, colours added when asked. Nothing is
// reported.
PictureReader ReadPicture;

// The bytes of a file's start that reader choice looks at.
inline constexpr std::size_t PICTURE_HEAD_BYTES = 64;
