// The conversion writer: turns frames of source pictures into one Zentra file, one
// sequence of records (a full frame, then delta frames) for every chosen display type,
// written to a file (WriteSequences, WriteFrames) or into memory (WriteSequencesToMemory).
#pragma once

#include "coding_choice.h"
#include "decoded_pictures.h"
#include "dense_coding.h"
#include "output_file.h"
#include "palette.h"
#include "report_message.h"
#include "run_length_buffer.h"
#include "source_image.h"
#include "tone.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// How far a conversion has got, after each frame of each display type's sequence.
struct ConversionProgress {
    std::size_t framesDone = 0; // frames of the current sequence written
    std::size_t frames = 0;     // frames of every sequence of the file
    std::size_t typesDone = 0;  // display types whose sequences are complete
    std::size_t types = 0;
    std::size_t picturesDone = 0; // files of the run written before this one
    std::size_t pictures = 1;     // files of the run (one per picture, or one animation)
};

// A display type's panel, when its profile gives a size: pictures are resized to it, or
// one larger than it is warned about.
struct TypePanel {
    std::string name; // the profile's name, for messages
    int width = 0;    // 0: the type gives no size
    int height = 0;
    bool resize = false; // records of this type are resized to the panel's size
    // The panel's own background (its "off" colour: 0 black, 255 white), taken instead of
    // the tone options' for this type's records; none keeps the tone options'.
    std::optional<std::uint8_t> background{};
};

// What a conversion needs besides its pictures and types: where its messages go and
// where the run-length coder takes its memory.
struct ConversionContext {
    MessageSink sink;
    CoderAllocator allocate = AllocateCoderBytes;
    // What happens to every picture's grey levels before packing; the defaults change
    // nothing.
    ToneOptions tone{};
    // How the records' pixel data is coded; the default writes what the tools always
    // wrote.
    CodingChoice coding = CodingChoice::RunLength;
    // How far back the copies of dense-coded records (depths 1, 2 and 4, chosen by
    // CodingChoice::Auto) may reach: 512 bytes, or in full frames the whole frame, for
    // firmware that decodes a record whole into its frame buffer.
    DenseWindow denseWindow = DenseWindow::Bytes512;
    // Where the file goes: outputPath when set (one file), else the name beside the
    // first picture (OutputPathFor) in outputDirectory when set, else beside the picture.
    std::string outputPath{};
    std::string outputDirectory{};
    // The palettes of the display types' profiles, by the types' positions (empty, or
    // shorter than the types: none). A palette or colour count of the tone options takes
    // their place for every type.
    std::vector<Palette> typePalettes{};
    // The colours that each type's panel shows for the entries of its profile palette, as
    // measured, by the types' positions (empty: not measured). Pictures are matched
    // against these and the nominal colours, blended by the tone options' saturation.
    std::vector<Palette> typeShows{};
    // Called after every frame of every display type's sequence. Returning false cancels
    // the conversion: nothing more is written, the temporary file is removed and the
    // outcome is Cancelled. The web page's progress bar and ztr's progress line use it.
    std::function<bool(const ConversionProgress&)> progress{};
    // Handed to the output file: told when its temporary file exists and when it is gone.
    TemporaryFileNotice temporaryFile{};
    // The panels of the type codes, in their order; a shorter list leaves the rest
    // without a panel.
    std::vector<TypePanel> panels{};
    // A palette file's bytes in memory (the web page's): when set, the tone options'
    // palette is this file, read from these bytes, and `tone.palette` only names it.
    std::shared_ptr<const std::vector<std::uint8_t>> paletteFile{};
    // The file's decoded pictures, shared with whoever decoded them before (the delays of
    // an animation's GIF frames); null: the writer decodes each picture once itself.
    DecodedPictures* pictures = nullptr;
    // Told of every decoding of a picture.
    PictureDecodedNotice pictureDecoded{};
    // Told of every shaping of a frame for a display type.
    std::function<void()> pictureShaped{};
};

// The delay field of a delta record holds 16 bits; a delay that does not fit is refused.
inline constexpr int MAX_DELAY_MS = 65535;
inline constexpr bool DelayFits(long long delay) {
    return delay >= 0 && delay <= MAX_DELAY_MS;
}

// One picture of a file's sequence and the delay its delta record carries (the first
// frame is a full frame and carries none).
struct Frame {
    std::string path;
    int delay = 0;
    int index = 0; // which frame of the file (a GIF's frames count from 0)
    // A picture drawn in memory (ztr probe's test pictures): taken instead of reading path,
    // which then only names it in messages.
    std::shared_ptr<const SourceImage> picture{};
    // A picture file's bytes in memory (the web page's pictures): read instead of the file
    // at path, which then only names it in messages.
    std::shared_ptr<const std::vector<std::uint8_t>> bytes{};
};

// One display type's records: the first frame as a full frame, every further one as a
// delta record against the one before.
struct Sequence {
    std::uint32_t typeCode = 0;
    std::vector<Frame> frames;
    TypePanel panel{};
};

// Writes one Zentra file of the sequences, in order, to ChosenOutputPath of the first
// sequence's first picture, through a temporary file as WriteFrames does.
Outcome WriteSequences(const std::vector<Sequence>& sequences, const ConversionContext& context);

// The same file written into `bytes` instead (its name, ChosenOutputPath's, stands only in
// messages): byte for byte what WriteSequences writes. `bytes` stays empty unless the
// outcome is Ok.
Outcome WriteSequencesToMemory(const std::vector<Sequence>& sequences,
                               const ConversionContext& context, std::vector<std::uint8_t>& bytes);

// The sequences that WriteFrames writes: the frames for every type code, in order, each
// with its panel from the context. None without frames.
std::vector<Sequence> FrameSequences(const std::vector<Frame>& frames,
                                     const std::vector<std::uint32_t>& typeCodes,
                                     const ConversionContext& context);

// Writes one Zentra file named after the first frame's picture: for every type code, in
// order, the first frame as a full frame and every further frame as a delta record
// against the one before, each type with its panel from the context. A type with a
// palette (the tone options', else its profile's) gets indexed records that carry the
// palette at depths 1 to 8, and the palette's colours at depths 16 and 24; an adaptive
// palette is chosen once for all frames of the file. A fixed or profile palette is matched
// as panel_palette.h says (measured colours blended by the tone options' saturation,
// colour-less pixels kept to colour-less entries, hue weighed); one that is just black
// and white, at depth 1, gives the grey record that no palette gives. A fixed palette that
// puts a type's profile colours at other indices is refused (PaletteOutOfOrder). The file is
// written under a temporary name in the output's folder and takes the output's name only when
// complete, so a failure leaves no partial file and an existing output untouched.
//
// The writing functions return how the conversion ended: Ok, Cancelled (the progress
// callback asked to stop; not reported), or the first failure, which has been reported
// through the context's sink, once (a picture's or palette's reader reports its own).
Outcome WriteFrames(const std::vector<Frame>& frames, const std::vector<std::uint32_t>& typeCodes,
                    const ConversionContext& context);

// WriteFrames with the same delay in every delta record.
Outcome WritePicturesAsFrames(const std::vector<std::string>& picturePaths,
                              const std::vector<std::uint32_t>& typeCodes, int delay,
                              const ConversionContext& context);

// Whether some of the types may need the pictures' colours: a colour depth, or a palette
// (the tone options', or a type's profile's).
bool NeedsColours(const std::vector<std::uint32_t>& typeCodes, const ConversionContext& context);

// The output path for a first picture path: the extension (from the last ".", unless a
// "\" or "/" follows it) replaced by ".ztr".
std::string OutputPathFor(const std::string& firstPicture);

// The file that WriteFrames writes for a first picture under the context's choice.
std::string ChosenOutputPath(const std::string& firstPicture, const ConversionContext& context);
