// The conversion writer: for every display type one sequence of records (the first
// picture as a full frame, each further picture as a delta record against the one
// before), written through a temporary file that replaces the output only when complete.
#include "convert_images.h"

#include "adaptive_palette.h"
#include "byte_sink.h"
#include "changed_rect.h"
#include "checked_size.h"
#include "colour_to_grey.h"
#include "decoded_pictures.h"
#include "dense_coding.h"
#include "load_palette.h"
#include "packers.h"
#include "palette_mapping.h"
#include "palette_order.h"
#include "panel_palette.h"
#include "pixel_stream_shape.h"
#include "read_failure.h"
#include "record_palette.h"
#include "report_message.h"
#include "source_image.h"
#include "squash_coding.h"
#include "target_shaping.h"
#include "type_code.h"
#include "zentra_format.h"

#include <cstdio>
#include <limits>
#include <new>
#include <optional>
#include <vector>

namespace {

// The decoded frame that `frame` names: a picture drawn in memory, or frame `index` of a
// picture file or picture bytes from the conversion's decoded pictures. Null after a
// failure, which has been reported.
const SourceImage* DecodedFrame(const Frame& frame, DecodedPictures& pictures,
                                const MessageSink& sink) {
    if (frame.picture) {
        return frame.picture.get();
    }
    return pictures.Frame(frame.path, frame.bytes, frame.index, sink);
}

// The shaped frames of one sequence, kept for the later types that shape them the same
// way, so that each distinct shaping is done once.
using ShapedFrames = std::vector<ShapedPicture>;

// One display type's sequence within a conversion: shapes its pictures (or takes them
// from an earlier type of the same shaping) and packs, codes and writes its records.
// Every failure is reported here, once.
class SequenceWriter {
  public:
    // `shaping` says how the type's pictures are shaped (its palette outlives the writer).
    // `keep`, when given, collects the shaped frames for later types of the same shaping;
    // `reuse`, when given, holds them already, shaped by an earlier type.
    SequenceWriter(ByteSink& output, const Sequence& sequence, const ConversionContext& context,
                   RunLengthBuffer& coded, SquashEncoder& squash, DenseEncoder& dense,
                   const TargetShaping& shaping, DecodedPictures& pictures)
        : output_(output), layout_(TypeCodeLayout(sequence.typeCode)),
          depth_(TypeCodeDepth(sequence.typeCode)), colour_(IsColourDepth(depth_)),
          palette_(shaping.colours != nullptr ? &shaping.colours->palette : nullptr),
          sink_(context.sink), tone_(shaping.tone), panel_(sequence.panel), coding_(context.coding),
          denseWindow_(context.denseWindow), coded_(coded), squash_(squash), dense_(dense),
          shaper_(shaping), pictures_(pictures), shapedNotice_(context.pictureShaped) {}

    void ShareFrames(ShapedFrames* keep, const ShapedFrames* reuse) {
        keep_ = keep;
        reuse_ = reuse;
    }

    // Writes the frames' records; after each frame, frameWritten(frames written so far)
    // says whether to go on.
    Outcome Write(const std::vector<Frame>& frames,
                  const std::function<bool(std::size_t)>& frameWritten) {
        const Packer packer = SelectPacker(depth_, RecordLayout(layout_, depth_));
        if (packer == nullptr) {
            return Reported({.code = OutcomeCode::UnsupportedDepth});
        }
        if (keep_ != nullptr) {
            try {
                keep_->reserve(frames.size()); // the kept frames stay where they are
            } catch (const std::bad_alloc&) {
                return Reported({.code = OutcomeCode::OutOfMemory});
            }
        }
        const SourceImage* previous = nullptr;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const ShapedPicture* shaped = nullptr;
            if (Outcome result = ShapedFrame(frames[i], i, shaped); !result.Ok()) {
                return result;
            }
            const SourceImage& current = shaped->picture;
            if (i == 0) {
                WarnAboutPanelSize(current, frames[i].path, shaped->readWidth, shaped->readHeight);
            }
            if (Outcome size = CheckSize(current, previous, frames[i].path); !size.Ok()) {
                return size;
            }
            const bool last = i > 0 && i + 1 == frames.size();
            const auto delay = static_cast<std::uint16_t>(frames[i].delay);
            if (!WriteRecord(current, previous, last, delay, packer)) {
                if (coded_.OutOfMemory() || outOfMemory_) {
                    return Reported({.code = OutcomeCode::CoderOutOfMemory});
                }
                return Reported(output_.Failure(OutcomeCode::CannotWrite));
            }
            previous = &current;
            if (!frameWritten(i + 1)) {
                return {.code = OutcomeCode::Cancelled};
            }
        }
        return {};
    }

  private:
    // Hands a failure to the sink and gives it back.
    Outcome Reported(Outcome outcome) const {
        ReportOutcome(sink_, outcome);
        return outcome;
    }

    // A picture that the panel cannot show whole is worth a word, once per sequence: the
    // size it is written at, and on a line of its own the size it was read at and, when
    // a quarter turn would make it fit, the --rotate that turns it.
    void WarnAboutPanelSize(const SourceImage& picture, const std::string& path, int readWidth,
                            int readHeight) const {
        if (panel_.width <= 0 || panel_.height <= 0 || panel_.resize ||
            (picture.width <= panel_.width && picture.height <= panel_.height)) {
            return;
        }
        // Resizing comes after rotating, so only a picture kept at its size turns to fit.
        const bool turnedFits = picture.height <= panel_.width && picture.width <= panel_.height;
        int turn = -1;
        if (tone_.resizeWidth == 0 && turnedFits) {
            turn = tone_.rotate % 180 == 0 ? tone_.rotate + 90 : tone_.rotate - 90;
        }
        ReportOutcome(sink_, {.code = OutcomeCode::LargerThanPanel,
                              .file = path,
                              .numbers = {picture.width, picture.height, panel_.width,
                                          panel_.height, readWidth, readHeight, turn},
                              .words = {panel_.name}});
    }

    // Frame i of the sequence, shaped: taken from the earlier type that shaped it the same
    // way, or decoded and shaped here, and kept for a later type that wants it or else
    // beside the frame before it (overwriting the one before that).
    Outcome ShapedFrame(const Frame& frame, std::size_t i, const ShapedPicture*& shaped) {
        if (reuse_ != nullptr && i < reuse_->size()) {
            shaped = &(*reuse_)[i];
            return {};
        }
        FailureRecorder reader(sink_);
        const SourceImage* decoded = DecodedFrame(frame, pictures_, reader.Sink());
        if (decoded == nullptr) {
            return reader.FirstFailure(
                {.code = OutcomeCode::UnsupportedFormat, .file = frame.path});
        }
        if (shapedNotice_) {
            shapedNotice_();
        }
        ShapedPicture& fresh = keep_ != nullptr ? keep_->emplace_back() : recent_[i % 2];
        if (Outcome shapedAs = shaper_.Shape(*decoded, frame.path, fresh); !shapedAs.Ok()) {
            return Reported(std::move(shapedAs));
        }
        shaped = &fresh;
        return {};
    }

    // What the records are packed from: the colours for colour records, else the grey
    // levels.
    std::vector<std::uint8_t>& Samples(SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    const std::vector<std::uint8_t>& Samples(const SourceImage& picture) const {
        return colour_ ? picture.rgb : picture.pixels;
    }
    int BytesPerPixel() const { return colour_ ? 3 : 1; }

    // Sizes must fit the rectangle's 16-bit fields, the pixel block must hold the whole
    // picture, and every picture of a sequence must have the first picture's size so
    // that comparisons stay inside both.
    Outcome CheckSize(const SourceImage& picture, const SourceImage* previous,
                      const std::string& path) {
        if (picture.width < 1 || picture.height < 1 || picture.width > MAX_PICTURE_SIDE ||
            picture.height > MAX_PICTURE_SIDE) {
            return Reported(InvalidSize(path, picture.width, picture.height));
        }
        std::size_t pixelCount = 0;
        if (!CheckedMultiply(static_cast<std::size_t>(picture.width),
                             static_cast<std::size_t>(picture.height), pixelCount) ||
            picture.pixels.size() != pixelCount ||
            Samples(picture).size() / static_cast<std::size_t>(BytesPerPixel()) != pixelCount) {
            return Reported(InvalidSize(path, picture.width, picture.height));
        }
        if (previous && (picture.width != previous->width || picture.height != previous->height)) {
            return Reported(
                {.code = OutcomeCode::SizeMismatch,
                 .file = path,
                 .numbers = {picture.width, picture.height, previous->width, previous->height}});
        }
        return {};
    }

    // The stored rectangle: the whole picture for a full frame, else the aligned changed
    // rectangle, or an empty one at (0, 0) when nothing changed.
    ChangedRect RecordRect(const SourceImage& picture, const SourceImage* previous,
                           std::uint8_t layout) const {
        ChangedRect rect;
        if (previous == nullptr) {
            rect.width = static_cast<std::int16_t>(picture.width);
            rect.height = static_cast<std::int16_t>(picture.height);
            return rect;
        }
        const std::optional<ChangedRect> changed =
            FindChangedRect(Samples(picture).data(), Samples(*previous).data(), picture.width,
                            picture.height, BytesPerPixel());
        if (!changed) {
            return rect;
        }
        // The planes of a planar record are packed as at depth 1.
        const int packedDepth = (layout & LAYOUT_PLANAR) != 0 ? 1 : depth_;
        return AlignChangedRect(*changed, packedDepth, layout & LAYOUT_ORDER, picture.width,
                                picture.height);
    }

    // Record: header (written twice: provisional, then with the final length and size),
    // delta header for later pictures, palette when the type has one or the source
    // brings one, pixel data.
    bool WriteRecord(const SourceImage& picture, const SourceImage* previous, bool last,
                     std::uint16_t delay, Packer packer) {
        RecordHeader header;
        header.layout = RecordLayout(layout_, depth_);
        if (previous != nullptr) {
            header.layout |= RECORD_DELTA;
        }
        if (last) {
            header.layout |= RECORD_LAST_FRAME;
        }
        header.depth = depth_;
        header.width = static_cast<std::uint16_t>(picture.width);
        header.height = static_cast<std::uint16_t>(picture.height);
        const ChangedRect rect = RecordRect(picture, previous, header.layout);

        const std::optional<std::uint64_t> start = output_.Size();
        if (!start || !output_.Write(EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE)) {
            return false;
        }
        if (previous != nullptr) {
            DeltaHeader delta;
            delta.delay = delay;
            delta.dx = static_cast<std::uint16_t>(rect.x);
            delta.dy = static_cast<std::uint16_t>(rect.y);
            if (!output_.Write(EncodeDeltaHeader(delta).data(), DELTA_HEADER_SIZE)) {
                return false;
            }
        }
        // Records of depths 1, 2, 4 and 8 carry the type's palette, or else the source's,
        // whose 2^D entries lie within the 256 of the buffer; colour records carry none.
        if (palette_ != nullptr && !colour_) {
            header.layout |= RECORD_PALETTE;
            const std::vector<std::uint8_t> block = PaletteBlock(*palette_, depth_);
            if (!output_.Write(block.data(), block.size())) {
                return false;
            }
        }
        const std::size_t paletteBytes =
            colour_ || palette_ != nullptr ? 0 : static_cast<std::size_t>(PaletteSize(depth_));
        for (std::size_t k = 0; k < paletteBytes; ++k) {
            if (picture.recordPalette[k] != 0) {
                header.layout |= RECORD_PALETTE;
                if (!output_.Write(picture.recordPalette.data(), paletteBytes)) {
                    return false;
                }
                break;
            }
        }
        if (!WritePixels(header, Samples(picture).data(), rect, packer)) {
            return false;
        }

        const std::optional<std::uint64_t> end = output_.Size();
        if (!end || *end < *start || *end - *start > std::numeric_limits<std::uint32_t>::max()) {
            return false;
        }
        header.recordLength = static_cast<std::uint32_t>(*end - *start);
        header.width = static_cast<std::uint16_t>(rect.width);
        header.height = static_cast<std::uint16_t>(rect.height);
        return output_.Overwrite(*start, EncodeRecordHeader(header).data(), RECORD_HEADER_SIZE);
    }

    // The record's pixel data in the chosen coding: straight through the run-length coder
    // as always, or the unpacked stream collected first and then squash coded, or coded
    // every way the depth has and the smallest taken (header.coding says which): at depths
    // 1, 2 and 4 the dense coding too, whose copies reach back to the start of a full
    // frame when the conversion asks for it.
    bool WritePixels(RecordHeader& header, const std::uint8_t* samples, const ChangedRect& rect,
                     Packer packer) {
        if (coding_ == CodingChoice::RunLength) {
            return packer(coded_, output_, header, samples, rect);
        }
        std::vector<std::uint8_t> unpacked;
        std::vector<std::uint8_t> coded;
        try {
            const std::optional<PixelStreamShape> shape =
                ShapeOfPixelStream(header.layout, depth_, static_cast<unsigned>(rect.width),
                                   static_cast<unsigned>(rect.height));
            unpacked.reserve(shape ? shape->totalBytes : 0);
            coded_.collect = &unpacked;
            const bool packed = packer(coded_, output_, header, samples, rect);
            coded_.collect = nullptr;
            if (!packed || !shape) {
                outOfMemory_ = packed == false;
                return false;
            }
            coded = squash_.Encode(unpacked, *shape);
            header.coding = PixelCoding::Squash;
            if (coding_ == CodingChoice::Auto && IsSubByteDepth(depth_)) {
                const bool whole =
                    denseWindow_ == DenseWindow::WholeStream && (header.layout & RECORD_DELTA) == 0;
                const DenseWindow window = whole ? DenseWindow::WholeStream : DenseWindow::Bytes512;
                DenseEncoder::BothForms dense = dense_.EncodeBothForms(unpacked, *shape, window);
                if (dense.whole.size() < coded.size()) {
                    coded = std::move(dense.whole);
                    header.coding = PixelCoding::Dense;
                    header.wholeStream = whole;
                }
                std::vector<std::uint8_t>& table = dense.table;
                if (table.size() < coded.size() &&
                    TableRecordLongEnough(depth_, (header.layout & RECORD_PALETTE) != 0,
                                          table.size())) {
                    coded = std::move(table);
                    header.coding = PixelCoding::Dense;
                    header.wholeStream = whole;
                    header.literalTable = true;
                }
            }
        } catch (const std::bad_alloc&) {
            coded_.collect = nullptr;
            outOfMemory_ = true;
            return false;
        }
        if (coding_ == CodingChoice::Auto) {
            // The run-length coding of the same stream, by the same coder as the packers'.
            BeginPixelData(coded_);
            {
                PixelByteCoder coder(coded_);
                for (const std::uint8_t b : unpacked) {
                    coder.Put(b);
                }
            }
            if (coded_.OutOfMemory()) {
                EndPixelData(coded_, nullptr);
                return false;
            }
            if (static_cast<std::size_t>(coded_.Length()) <= coded.size()) {
                header.coding = PixelCoding::RunLength;
                return WritePixelData(coded_, output_);
            }
            EndPixelData(coded_, nullptr);
        }
        return output_.Write(coded.data(), coded.size());
    }

    ByteSink& output_;
    std::uint8_t layout_;
    std::uint8_t depth_;
    bool colour_;            // packed from the colours
    const Palette* palette_; // the type's palette, or null for grey levels
    const MessageSink& sink_;
    const ToneOptions tone_;
    const TypePanel& panel_;
    CodingChoice coding_;
    DenseWindow denseWindow_;
    bool outOfMemory_ = false; // collecting or squash coding a record ran out of memory
    RunLengthBuffer& coded_;
    SquashEncoder& squash_;
    DenseEncoder& dense_;
    PictureShaper shaper_;
    DecodedPictures& pictures_;
    ShapedFrames* keep_ = nullptr;
    const ShapedFrames* reuse_ = nullptr;
    ShapedPicture recent_[2]; // the frame being written and the one before, when not kept
    const std::function<void()>& shapedNotice_;
};

// The palette of at most tone.colours colours chosen for every frame of the file
// together (the closing repeat of the first frame not counted twice), so that an
// animation's frames share their colours and its deltas stay small. Nothing after a
// failure, which has been reported.
std::optional<Palette> AdaptivePalette(const std::vector<Frame>& frames,
                                       const ConversionContext& context, DecodedPictures& pictures,
                                       Outcome& failure) {
    ColourHistogram histogram;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i > 0 && i + 1 == frames.size() && frames[i].path == frames[0].path &&
            frames[i].index == frames[0].index) {
            break;
        }
        FailureRecorder reader(context.sink);
        const SourceImage* decoded = DecodedFrame(frames[i], pictures, reader.Sink());
        if (decoded == nullptr) {
            failure = reader.FirstFailure(
                {.code = OutcomeCode::UnsupportedFormat, .file = frames[i].path});
            return std::nullopt;
        }
        std::optional<SourceImage> picture;
        try {
            picture = PictureForType(*decoded, context.tone.background, true);
        } catch (const std::bad_alloc&) {
        }
        if (!picture || !ShapePicture(*picture, context.tone) || !AddColours(*picture) ||
            !histogram.Add(picture->rgb.data(), picture->rgb.size() / 3)) {
            failure = {.code = OutcomeCode::OutOfMemory};
            ReportOutcome(context.sink, failure);
            return std::nullopt;
        }
    }
    return histogram.Choose(context.tone.colours);
}

// The palettes of a conversion: the tone options' fixed palette, read once; the adaptive
// one, chosen when a type first needs it; and each type's profile palette, with the
// colours its panel shows.
class ConversionPalettes {
  public:
    ConversionPalettes(const std::vector<Frame>& frames, const ConversionContext& context,
                       DecodedPictures& pictures)
        : frames_(frames), context_(context), pictures_(pictures) {}

    // Reads the fixed palette and checks that every type's palette fits its depth and
    // that the fixed palette keeps the colours of a type's panel palette at its indices.
    Outcome Prepare(const std::vector<std::uint32_t>& typeCodes) {
        FailureRecorder reader(context_.sink);
        if (context_.paletteFile) {
            fixed_ =
                ReadPanelPaletteBytes(*context_.paletteFile, context_.tone.palette, reader.Sink());
        } else if (!context_.tone.palette.empty()) {
            fixed_ = LoadPanelPalette(context_.tone.palette, reader.Sink());
        }
        if (!fixed_ && (context_.paletteFile || !context_.tone.palette.empty())) {
            return reader.FirstFailure(
                {.code = OutcomeCode::UnknownPalette, .file = context_.tone.palette});
        }
        for (std::size_t k = 0; k < typeCodes.size(); ++k) {
            const unsigned depth = TypeCodeDepth(typeCodes[k]);
            const std::size_t colours = Colours(k);
            if (colours > 0 && !PaletteFits(colours, depth)) {
                const Outcome tooMany{.code = OutcomeCode::TooManyColours,
                                      .numbers = {static_cast<std::int64_t>(colours), depth},
                                      .words = {TooManyColoursText(colours, depth)}};
                ReportOutcome(context_.sink, tooMany);
                return tooMany;
            }
            if (fixed_) {
                const std::string name =
                    k < context_.panels.size() && !context_.panels[k].name.empty()
                        ? "type '" + context_.panels[k].name + "'"
                        : "the display type";
                if (const std::optional<std::string> fault = PaletteOrderFault(
                        fixed_->colours, "palette '" + context_.tone.palette + "'",
                        Profile(k).colours, name)) {
                    const Outcome outOfOrder{.code = OutcomeCode::PaletteOutOfOrder,
                                             .file = context_.tone.palette,
                                             .words = {*fault, name}};
                    ReportOutcome(context_.sink, outOfOrder);
                    return outOfOrder;
                }
            }
        }
        types_.resize(typeCodes.size());
        return {};
    }

    // The palette of type k (of `depth` bits), or null for grey levels; the adaptive
    // palette is chosen on first use. Null with `failure` set when choosing it failed.
    const TargetColours* For(std::size_t k, unsigned depth, Outcome& failure) {
        if (k >= types_.size()) {
            return nullptr;
        }
        if (!types_[k]) {
            std::optional<TargetColours> chosen = Choose(k, failure);
            // A black and white palette at depth 1 is what grey levels are.
            if (!chosen || (depth == 1 && IsPlainBlackWhite(*chosen))) {
                return nullptr;
            }
            types_[k] = std::move(chosen);
        }
        return &*types_[k];
    }

  private:
    std::optional<TargetColours> Choose(std::size_t k, Outcome& failure) {
        if (fixed_) {
            PanelPalette panel = *fixed_;
            if (panel.shows.empty()) {
                panel.shows = BorrowedShows(panel.colours, Profile(k));
            }
            return TargetColours{panel.colours, PanelMatch(panel, context_.tone.saturation)};
        }
        if (context_.tone.colours > 0) {
            if (!adaptive_) {
                adaptive_ = AdaptivePalette(frames_, context_, pictures_, failure);
            }
            if (!adaptive_) {
                return std::nullopt;
            }
            PaletteMatch plain;
            plain.colours = *adaptive_;
            return TargetColours{*adaptive_, plain};
        }
        const PanelPalette panel = Profile(k);
        if (panel.colours.empty()) {
            return std::nullopt;
        }
        return TargetColours{panel.colours, PanelMatch(panel, context_.tone.saturation)};
    }

    static bool IsPlainBlackWhite(const TargetColours& colours) {
        const Palette blackWhite = *BuiltInPalette("bw");
        return colours.palette == blackWhite && colours.match.colours == blackWhite;
    }

    // Type k's profile palette and the colours its panel shows; empty for none.
    PanelPalette Profile(std::size_t k) const {
        PanelPalette panel;
        if (k < context_.typePalettes.size()) {
            panel.colours = context_.typePalettes[k];
        }
        if (k < context_.typeShows.size() && context_.typeShows[k].size() == panel.colours.size()) {
            panel.shows = context_.typeShows[k];
        }
        return panel;
    }

    // How many colours type k's palette has, or asks for; 0 for none.
    std::size_t Colours(std::size_t k) const {
        if (fixed_) {
            return fixed_->colours.size();
        }
        if (context_.tone.colours > 0) {
            return static_cast<std::size_t>(context_.tone.colours);
        }
        return k < context_.typePalettes.size() ? context_.typePalettes[k].size() : 0;
    }

    const std::vector<Frame>& frames_;
    const ConversionContext& context_;
    DecodedPictures& pictures_;
    std::optional<PanelPalette> fixed_;
    std::optional<Palette> adaptive_;
    std::vector<std::optional<TargetColours>> types_;
};

} // namespace

std::string OutputPathFor(const std::string& firstPicture) {
    std::string path = firstPicture;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos) {
        path.erase(dot);
    }
    return path + ".ztr";
}

std::string ChosenOutputPath(const std::string& firstPicture, const ConversionContext& context) {
    if (!context.outputPath.empty()) {
        return context.outputPath;
    }
    std::string path = OutputPathFor(firstPicture);
    if (context.outputDirectory.empty()) {
        return path;
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) {
        path.erase(0, slash + 1);
    }
    const char last = context.outputDirectory.back();
    return context.outputDirectory + (last == '/' || last == '\\' ? "" : "/") + path;
}

namespace {

// The checks before anything is written: something to write, and delays that fit.
Outcome CheckSequences(const std::vector<Sequence>& sequences, const ConversionContext& context) {
    Outcome fault;
    if (sequences.empty() || sequences.front().frames.empty()) {
        fault = {.code = OutcomeCode::NothingToConvert};
    }
    for (std::size_t k = 0; k < sequences.size() && fault.Ok(); ++k) {
        for (std::size_t i = 1; i < sequences[k].frames.size(); ++i) {
            if (!DelayFits(sequences[k].frames[i].delay)) {
                fault = {.code = OutcomeCode::InvalidDelay, .numbers = {MAX_DELAY_MS}};
                break;
            }
        }
    }
    ReportOutcome(context.sink, fault);
    return fault;
}

} // namespace

bool NeedsColours(const std::vector<std::uint32_t>& typeCodes, const ConversionContext& context) {
    if (!context.tone.palette.empty() || context.paletteFile || context.tone.colours > 0) {
        return true;
    }
    for (const Palette& palette : context.typePalettes) {
        if (!palette.empty()) {
            return true;
        }
    }
    for (const std::uint32_t typeCode : typeCodes) {
        if (IsColourDepth(TypeCodeDepth(typeCode))) {
            return true;
        }
    }
    return false;
}

namespace {

// The conversion's tone options for a type: resized to its panel when the type asks for
// it, on the panel's own background when it has one.
ToneOptions PanelTone(ToneOptions tone, const TypePanel& panel) {
    if (panel.resize && panel.width > 0 && panel.height > 0) {
        tone.resizeWidth = panel.width;
        tone.resizeHeight = panel.height;
    }
    if (panel.background) {
        tone.background = *panel.background;
    }
    return tone;
}

// Whether two sequences show the same pictures, so that a shaping of one serves the other.
bool SameFrames(const std::vector<Frame>& a, const std::vector<Frame>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path || a[i].index != b[i].index || a[i].bytes != b[i].bytes ||
            a[i].picture != b[i].picture) {
            return false;
        }
    }
    return true;
}

// Writes the checked sequences through the sink, which is opened here and committed
// only when every record is written.
Outcome WriteSequencesTo(const std::vector<Sequence>& sequences, const ConversionContext& context,
                         ByteSink& output) {
    std::vector<std::uint32_t> typeCodes;
    typeCodes.reserve(sequences.size());
    for (const Sequence& sequence : sequences) {
        typeCodes.push_back(sequence.typeCode);
    }
    // Each picture is decoded once for every type, with its colours when some type may
    // need them.
    DecodedPictures ownPictures(NeedsColours(typeCodes, context), context.pictureDecoded);
    DecodedPictures& pictures = context.pictures != nullptr ? *context.pictures : ownPictures;
    ConversionPalettes palettes(sequences.front().frames, context, pictures);
    if (Outcome prepared = palettes.Prepare(typeCodes); !prepared.Ok()) {
        return prepared;
    }
    if (!output.Open()) {
        const Outcome failure = output.Failure(OutcomeCode::CannotOpenForWriting);
        ReportOutcome(context.sink, failure);
        return failure;
    }
    RunLengthBuffer coded(context.allocate);
    SquashEncoder squash; // keep their memory from record to record
    DenseEncoder dense;
    // Every type's shaping, and for each the earlier type whose shaped frames it takes.
    std::vector<TargetShaping> shapings(sequences.size());
    for (std::size_t k = 0; k < sequences.size(); ++k) {
        Outcome chosen;
        shapings[k].colours = palettes.For(k, TypeCodeDepth(sequences[k].typeCode), chosen);
        if (!chosen.Ok()) {
            return chosen;
        }
        shapings[k].tone = PanelTone(context.tone, sequences[k].panel);
        shapings[k].depth = TypeCodeDepth(sequences[k].typeCode);
        shapings[k].rowsBottomFirst =
            (TypeCodeLayout(sequences[k].typeCode) & LAYOUT_INVERTED_Y) != 0;
    }
    std::vector<std::optional<std::size_t>> shapedBy(sequences.size());
    std::vector<std::size_t> lastUser(sequences.size());
    for (std::size_t k = 0; k < sequences.size(); ++k) {
        lastUser[k] = k;
        for (std::size_t j = 0; j < k && !shapedBy[k]; ++j) {
            if (!shapedBy[j] && SameShaping(shapings[j], shapings[k]) &&
                SameFrames(sequences[j].frames, sequences[k].frames)) {
                shapedBy[k] = j;
                lastUser[j] = k;
            }
        }
    }
    std::vector<ShapedFrames> kept(sequences.size());
    ConversionProgress progress;
    progress.types = sequences.size();
    for (std::size_t k = 0; k < sequences.size(); ++k) {
        const Sequence& sequence = sequences[k];
        progress.frames = sequence.frames.size();
        SequenceWriter writer(output, sequence, context, coded, squash, dense, shapings[k],
                              pictures);
        if (shapedBy[k]) {
            writer.ShareFrames(nullptr, &kept[*shapedBy[k]]);
        } else if (lastUser[k] != k) {
            writer.ShareFrames(&kept[k], nullptr);
        }
        const auto frameWritten = [&context, &progress](std::size_t done) {
            progress.framesDone = done;
            return !context.progress || context.progress(progress);
        };
        if (Outcome result = writer.Write(sequence.frames, frameWritten); !result.Ok()) {
            return result; // an uncommitted sink leaves nothing behind
        }
        if (shapedBy[k] && lastUser[*shapedBy[k]] == k) {
            ShapedFrames().swap(kept[*shapedBy[k]]); // no later type takes them
        }
        ++progress.typesDone;
    }
    if (!output.Commit()) {
        const Outcome failure = output.Failure(OutcomeCode::CannotWrite);
        ReportOutcome(context.sink, failure);
        return failure;
    }
    return {};
}

} // namespace

Outcome WriteSequences(const std::vector<Sequence>& sequences, const ConversionContext& context) {
    if (Outcome checked = CheckSequences(sequences, context); !checked.Ok()) {
        return checked;
    }
    FileSink output(ChosenOutputPath(sequences.front().frames.front().path, context),
                    context.temporaryFile);
    return WriteSequencesTo(sequences, context, output);
}

Outcome WriteSequencesToMemory(const std::vector<Sequence>& sequences,
                               const ConversionContext& context, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (Outcome checked = CheckSequences(sequences, context); !checked.Ok()) {
        return checked;
    }
    MemorySink output(ChosenOutputPath(sequences.front().frames.front().path, context));
    Outcome result = WriteSequencesTo(sequences, context, output);
    bytes = output.Take();
    return result;
}

std::vector<Sequence> FrameSequences(const std::vector<Frame>& frames,
                                     const std::vector<std::uint32_t>& typeCodes,
                                     const ConversionContext& context) {
    std::vector<Sequence> sequences;
    if (frames.empty()) {
        return sequences;
    }
    sequences.reserve(typeCodes.size());
    for (std::size_t t = 0; t < typeCodes.size(); ++t) {
        sequences.push_back(
            {typeCodes[t], frames, t < context.panels.size() ? context.panels[t] : TypePanel{}});
    }
    return sequences;
}

Outcome WriteFrames(const std::vector<Frame>& frames, const std::vector<std::uint32_t>& typeCodes,
                    const ConversionContext& context) {
    return WriteSequences(FrameSequences(frames, typeCodes, context), context);
}

Outcome WritePicturesAsFrames(const std::vector<std::string>& picturePaths,
                              const std::vector<std::uint32_t>& typeCodes, int delay,
                              const ConversionContext& context) {
    std::vector<Frame> frames;
    frames.reserve(picturePaths.size());
    for (const std::string& path : picturePaths) {
        frames.push_back({path, delay});
    }
    return WriteFrames(frames, typeCodes, context);
}
